#include "net/networkports.h"

#include "comm/netaddress.h"
#include "net/networkportdevice.h"

ComPort::DeviceFactory WithNetworkPorts(ComPort::DeviceFactory others) {
    return [others = std::move(others)](const QString &target) -> std::unique_ptr<PortDevice> {
        if (NetAddress::IsNetworkName(target)) {
            const std::optional<NetAddress> address = NetAddress::Parse(target);
            // A network name written wrongly gets no device: the port then says so.
            return address ? std::make_unique<NetworkPortDevice>(*address) : nullptr;
        }
        return others ? others(target) : nullptr;
    };
}
