// The program's own requests against the stand-in service under Wine: the configuration request
// and event reports as they really go out. scripts/test then reads what the service recorded.
#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "config/signed_request.h"
#include "net/api_manager.h"
#include "configuration_guard.h"
#include "real_ports.h"
#include "service_probe.h"

namespace tessary {
namespace {

class ProgramAgainstService : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::ServiceListens()) GTEST_SKIP() << "the stand-in service is not running on localhost:443";
        m_config->m_localeName = L"en_US";
    }

    testing::RealPorts m_ports;
    testing::ConfigurationGuard m_config;
};

TEST_F(ProgramAgainstService, ConfigurationRequestGetsTheDocument) {
    const auto document = ApiManager::GetInstance()->RequestConfiguration();
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->is_object());
    EXPECT_TRUE(document->contains("i"));
    EXPECT_TRUE(document->contains("o"));
}

TEST_F(ProgramAgainstService, EventsAreDeliveredAndATerminalOneStopsReporting) {
    auto package = std::make_shared<Package>(SignedRequest(), true, std::wstring(L"Service probe"), std::wstring(),
                                             std::wstring(), std::wstring(), 0);
    package->ReportEvent(1, nullptr);
    package->WaitForPendingEvents();
    EXPECT_FALSE(package->m_eventsStopped) << "code 1 keeps reporting on";
    package->ReportEvent(3, nullptr);
    package->WaitForPendingEvents();
    EXPECT_TRUE(package->m_eventsStopped) << "a delivered code 3 ends reporting";
}

}  // namespace
}  // namespace tessary
