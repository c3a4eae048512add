#pragma once
#include <windows.h>

#include "platform/registry_port.h"

namespace tessary::win32 {

HKEY ToRootKey(platform::RegistryRoot root);
REGSAM ToViewFlag(platform::RegistryView view);

}  // namespace tessary::win32
