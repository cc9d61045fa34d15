#pragma once

// The dialogs seam lives with the other pieces the tabs share; this name stays for code that
// includes it by its old path.
#include "../base/dialogs.h"
