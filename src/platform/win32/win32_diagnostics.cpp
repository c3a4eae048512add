#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class Win32Diagnostics : public platform::DiagnosticsPort {
public:
    void Write(platform::DiagnosticTarget target, std::string_view line) noexcept override {
        try {
            if (target == platform::DiagnosticTarget::StandardOutput) {
                // One write per line, so lines from different threads do not interleave.
                std::string text(line);
                text += '\n';
                std::fwrite(text.data(), 1, text.size(), stdout);
                return;
            }
            std::wstring text;
            if (!line.empty()) {
                const int size =
                    ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
                if (size > 0) {
                    text.resize(static_cast<std::size_t>(size));
                    ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), text.data(), size);
                }
            }
            text += L'\n';
            ::OutputDebugStringW(text.c_str());
        } catch (...) {
            // A diagnostic that cannot be written is dropped; the program goes on.
        }
    }
};

}  // namespace

std::shared_ptr<platform::DiagnosticsPort> MakeDiagnosticsPort() { return std::make_shared<Win32Diagnostics>(); }

}  // namespace tessary::win32
