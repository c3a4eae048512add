#include "platform/win32/win32_ports.h"

namespace tessary::win32 {

void InstallWin32Ports() {
    platform::InstallPorts({MakeTextPort(), MakeClockPort(), MakeSystemPort(), MakeFileSystemPort(), MakeModulePort(),
                            MakeUiPort(), MakeLocalePort(), MakeRegistryPort(), MakeCryptoPort(), MakeHttpPort(),
                            MakeImagePort(), MakeDiagnosticsPort(), MakeTransferPort(), MakeProcessPort()});
}

}  // namespace tessary::win32
