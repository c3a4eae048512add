#include "platform/win32/system_error_text.h"

#include <windows.h>

#include <memory>

namespace tessary::win32 {
namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

std::wstring SystemErrorText(platform::Status status, MessageInserts inserts) {
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM;
    if (inserts == MessageInserts::Keep) flags |= FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t* raw = nullptr;
    const DWORD length = ::FormatMessageW(flags, nullptr, status, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                          reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> text(raw);
    return length && text ? std::wstring(text.get(), length) : std::wstring();
}

}  // namespace tessary::win32
