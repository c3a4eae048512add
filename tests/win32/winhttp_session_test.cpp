#include "platform/win32/winhttp_session.h"

#include <gtest/gtest.h>

#include "fake_system.h"

namespace tessary {
namespace {

// Each version of Windows gets the session settings it accepts: asking an older WinHTTP for the
// automatic proxy or for protocols it does not know makes it refuse the session.
TEST(WinHttpSession, SettingsFollowTheVersionOfWindows) {
    struct Case {
        platform::OsVersion version;
        unsigned servicePack;
        DWORD proxy;
        DWORD protocols;
    };
    const Case cases[] = {
        {{6, 0, 6002}, 2, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, 0xA0},
        {{6, 1, 7600}, 0, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, 0xA0},
        {{6, 1, 7601}, 1, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, 0xAA0},
        {{6, 2, 9200}, 0, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, 0xAA0},
        {{6, 3, 9600}, 0, 4, 0xAA0},
        {{10, 0, 19045}, 0, 4, 0xAA0},
    };
    for (const Case& c : cases) {
        testing::FakeSystem system;
        system.osVersion = c.version;
        system.servicePack = c.servicePack;
        SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor));
        EXPECT_EQ(win32::SessionProxyAccess(system), c.proxy);
        EXPECT_EQ(win32::SecureProtocols(system), c.protocols);
    }
}

}  // namespace
}  // namespace tessary
