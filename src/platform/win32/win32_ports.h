#pragma once
#include <memory>

#include "platform/ports.h"

namespace tessary::win32 {

// Each Windows port, made by the file that implements it.
std::shared_ptr<platform::TextPort> MakeTextPort();
std::shared_ptr<platform::ClockPort> MakeClockPort();
std::shared_ptr<platform::SystemPort> MakeSystemPort();
std::shared_ptr<platform::FileSystemPort> MakeFileSystemPort();
std::shared_ptr<platform::ModulePort> MakeModulePort();
std::shared_ptr<platform::UiPort> MakeUiPort();
std::shared_ptr<platform::LocalePort> MakeLocalePort();
std::shared_ptr<platform::RegistryPort> MakeRegistryPort();
std::shared_ptr<platform::CryptoPort> MakeCryptoPort();
std::shared_ptr<platform::HttpPort> MakeHttpPort();
std::shared_ptr<platform::ImagePort> MakeImagePort();
std::shared_ptr<platform::DiagnosticsPort> MakeDiagnosticsPort();
std::shared_ptr<platform::TransferPort> MakeTransferPort();
std::shared_ptr<platform::ProcessPort> MakeProcessPort();

// Installs every Windows port; the program does this once at start-up.
void InstallWin32Ports();

}  // namespace tessary::win32
