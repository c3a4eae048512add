#pragma once
#include "platform/ports.h"
#include "platform/win32/win32_ports.h"

namespace tessary::testing {

// Installs the real Windows ports for one test and puts back what was there.
class RealPorts {
public:
    RealPorts() : m_previous(platform::CurrentPorts()) { win32::InstallWin32Ports(); }
    ~RealPorts() { platform::InstallPorts(m_previous); }
    RealPorts(const RealPorts&) = delete;
    RealPorts& operator=(const RealPorts&) = delete;

private:
    platform::Ports m_previous;
};

}  // namespace tessary::testing
