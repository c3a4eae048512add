#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/system_error_text.h"
#include "platform/win32/transfer_stacks.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class Win32Transfer : public platform::TransferPort {
public:
    Win32Transfer() : m_system(MakeSystemPort()) {}

    platform::TransferOpening Open(const platform::TransferRequest& request) override {
        return request.stack == platform::HttpStack::WinHttp ? OpenWithWinHttp(request, *m_system)
                                                             : OpenWithWinInet(request);
    }

    std::wstring SystemErrorText(platform::Status status) const override {
        return win32::SystemErrorText(status, MessageInserts::Expand);
    }

private:
    std::shared_ptr<platform::SystemPort> m_system;
};

}  // namespace

std::optional<std::uint64_t> ParseContentLength(const std::optional<std::wstring>& text) {
    if (!text || text->empty() || text->size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (const wchar_t c : *text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value;
}

std::shared_ptr<platform::TransferPort> MakeTransferPort() { return std::make_shared<Win32Transfer>(); }

}  // namespace tessary::win32
