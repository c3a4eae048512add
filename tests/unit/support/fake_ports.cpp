#include "fake_ports.h"

#include "utf8_codec.h"

namespace tessary::testing {

std::wstring W(std::string_view utf8) { return DecodeUtf8(utf8); }
std::string U8(std::wstring_view wide) { return EncodeUtf8(wide); }

FakePorts::FakePorts() {
    m_previous = platform::InstallPorts(
        {text, clock, system, fileSystem, module, ui, locale, registry, crypto, http, images, diagnostics, transfer, processes});
}

FakePorts::~FakePorts() { platform::InstallPorts(std::move(m_previous)); }

}  // namespace tessary::testing
