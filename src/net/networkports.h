#pragma once

#include "comm/comport.h"

// The devices of the program with ports on the network: a serial bridge for "tcp://..." and
// "rfc2217://...", the given factory's device for every other target.
ComPort::DeviceFactory WithNetworkPorts(ComPort::DeviceFactory others);
