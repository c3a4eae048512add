#pragma once
#include <memory>

#include "platform/clock_port.h"
#include "platform/crypto_port.h"
#include "platform/diagnostics.h"
#include "platform/file_system_port.h"
#include "platform/http_port.h"
#include "platform/image.h"
#include "platform/locale_port.h"
#include "platform/module_port.h"
#include "platform/process_port.h"
#include "platform/registry_port.h"
#include "platform/system_port.h"
#include "platform/text_port.h"
#include "platform/transfer_port.h"
#include "platform/ui_port.h"

namespace tessary::platform {

// The ports in force. The program installs the Windows ones once at start-up; tests install
// fakes and put back what they found.
struct Ports {
    std::shared_ptr<TextPort> text;
    std::shared_ptr<ClockPort> clock;
    std::shared_ptr<SystemPort> system;
    std::shared_ptr<FileSystemPort> fileSystem;
    std::shared_ptr<ModulePort> module;
    std::shared_ptr<UiPort> ui;
    std::shared_ptr<LocalePort> locale;
    std::shared_ptr<RegistryPort> registry;
    std::shared_ptr<CryptoPort> crypto;
    std::shared_ptr<HttpPort> http;
    std::shared_ptr<ImagePort> image;
    std::shared_ptr<DiagnosticsPort> diagnostics;
    std::shared_ptr<TransferPort> transfer;
    std::shared_ptr<ProcessPort> processes;
};

// Replaces the ports in force and returns the ones that were installed before.
Ports InstallPorts(Ports ports);
const Ports& CurrentPorts();

// Each accessor throws std::logic_error when its port has not been installed.
TextPort& Text();
ClockPort& Clock();
SystemPort& System();
FileSystemPort& FileSystem();
ModulePort& Module();
UiPort& Ui();
LocalePort& Locale();
RegistryPort& Registry();
CryptoPort& Crypto();
HttpPort& Http();
ImagePort& Images();
TransferPort& Transfers();
ProcessPort& Processes();

}  // namespace tessary::platform
