#include "platform/ports.h"

#include <stdexcept>

namespace tessary::platform {
namespace {

Ports& Installed() {
    static Ports ports;
    return ports;
}

template <typename Port>
Port& Require(const std::shared_ptr<Port>& port, const char* name) {
    if (!port) throw std::logic_error(std::string("port not installed: ") + name);
    return *port;
}

}  // namespace

Ports InstallPorts(Ports ports) {
    Ports previous = std::move(Installed());
    Installed() = std::move(ports);
    return previous;
}

const Ports& CurrentPorts() { return Installed(); }

TextPort& Text() { return Require(Installed().text, "text"); }
ClockPort& Clock() { return Require(Installed().clock, "clock"); }
SystemPort& System() { return Require(Installed().system, "system"); }
FileSystemPort& FileSystem() { return Require(Installed().fileSystem, "file system"); }
ModulePort& Module() { return Require(Installed().module, "module"); }
UiPort& Ui() { return Require(Installed().ui, "ui"); }
LocalePort& Locale() { return Require(Installed().locale, "locale"); }
RegistryPort& Registry() { return Require(Installed().registry, "registry"); }
CryptoPort& Crypto() { return Require(Installed().crypto, "crypto"); }
HttpPort& Http() { return Require(Installed().http, "http"); }
ImagePort& Images() { return Require(Installed().image, "image"); }
TransferPort& Transfers() { return Require(Installed().transfer, "transfer"); }
ProcessPort& Processes() { return Require(Installed().processes, "processes"); }

}  // namespace tessary::platform
