#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "config/wizard_type.h"
#include "configuration_guard.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::FakePorts;

BuildConstants ShippedConstants() {
    BuildConstants constants;
    constants.wizardKey = L"DLM";
    constants.serviceHost = L"https://service.test";
    constants.companyHost = L"https://company.test";
    constants.brand = L"Veloran";
    constants.clientId = L"Veloran_DLM";
    constants.sourceId = L"Veloran_3cpp";
    constants.backgroundColor = 0x00FAFAFA;
    constants.accentColor = 0x00BD7702;
    constants.isvProductTitle = L"Veloran";
    return constants;
}

TEST(WizardType, KeysMapToTheirFlavoursAndEverythingElseIsUnknown) {
    EXPECT_EQ(LookUpWizardType(L"DLM"), 1);
    EXPECT_EQ(LookUpWizardType(L"ISV"), 2);
    EXPECT_EQ(LookUpWizardType(L"dlm"), 0);
    EXPECT_EQ(LookUpWizardType(L""), 0);
    EXPECT_EQ(WizardTypeMap().size(), 2u);
}

TEST(ConfigurationManager, DownloadFlavourTakesTheBuildConstantsAndMakesItsFolders) {
    FakePorts ports;
    ports.fileSystem->knownFolders[platform::KnownFolder::Downloads] = L"C:\\Users\\u\\Downloads";
    ports.fileSystem->AddDirectory(L"C:\\Temp");

    const ConfigurationManager config(ShippedConstants());

    EXPECT_EQ(config.m_wizardType, 1);
    EXPECT_TRUE(ports.ui->messages.empty());
    EXPECT_FALSE(config.m_btVariant);
    EXPECT_FALSE(config.m_btClassicOptions);
    EXPECT_TRUE(config.m_mainFailureCode3);
    EXPECT_EQ(config.m_configUrl, L"https://service.test/o");
    EXPECT_EQ(config.m_eventsUrl, L"https://service.test/zbd");
    EXPECT_EQ(config.m_filesUrl, L"https://service.test/f/");
    EXPECT_EQ(config.m_sdkPrivacyUrl, L"https://company.test/privacy/");
    EXPECT_EQ(config.m_clientId, L"Veloran_DLM");
    EXPECT_EQ(config.m_backgroundColor, 0x00FAFAFAu);
    EXPECT_EQ(config.m_accentColor & 0xFF, 2u);  // red is the low byte
    EXPECT_EQ(config.m_productTitle, L"");
    EXPECT_EQ(config.m_downloadFolder, L"C:\\Users\\u\\Downloads");
    EXPECT_EQ(config.m_tempFolder, L"C:\\Temp\\ISV1A2B.tmp");
    EXPECT_TRUE(ports.fileSystem->IsDirectory(config.m_tempFolder));
    EXPECT_EQ(config.m_version, L"3.2.4.2137");
}

TEST(ConfigurationManager, DownloadFolderFallsBackToDocumentsThenTempThenDriveRoot) {
    FakePorts ports;
    ports.fileSystem->knownFolders[platform::KnownFolder::Documents] = L"C:\\Users\\u\\Documents";
    EXPECT_EQ(ConfigurationManager(ShippedConstants()).m_downloadFolder, L"C:\\Users\\u\\Documents");

    ports.fileSystem->knownFolders.clear();
    EXPECT_EQ(ConfigurationManager(ShippedConstants()).m_downloadFolder, L"C:\\Temp\\");

    ports.fileSystem->tempPath.reset();
    EXPECT_EQ(ConfigurationManager(ShippedConstants()).m_downloadFolder, L"C:\\");
}

TEST(ConfigurationManager, TwoRunsGetTwoTemporaryFolders) {
    FakePorts ports;
    ports.fileSystem->AddDirectory(L"C:\\Temp");
    const ConfigurationManager first(ShippedConstants());
    const ConfigurationManager second(ShippedConstants());
    EXPECT_NE(first.m_tempFolder, second.m_tempFolder);
    EXPECT_EQ(first.m_tempFolder.rfind(L"C:\\Temp\\ISV", 0), 0u);
}

TEST(ConfigurationManager, InstallerFlavourUsesOneFolderForDownloadsAndTemporaryFiles) {
    FakePorts ports;
    ports.fileSystem->AddDirectory(L"C:\\Temp");
    auto constants = ShippedConstants();
    constants.wizardKey = L"ISV";
    constants.isvLaunchTarget = L"{commonpf}\\Veloran\\app.exe";

    const ConfigurationManager config(constants);

    EXPECT_EQ(config.m_wizardType, 2);
    EXPECT_EQ(config.m_productTitle, L"Veloran");
    EXPECT_EQ(config.m_launchTarget, L"{commonpf}\\Veloran\\app.exe");
    EXPECT_FALSE(config.m_tempFolder.empty());
    EXPECT_EQ(config.m_downloadFolder, config.m_tempFolder);
}

TEST(ConfigurationManager, UnknownWizardKeySaysSoOnceAndMakesNoFolders) {
    FakePorts ports;
    ports.fileSystem->knownFolders[platform::KnownFolder::Downloads] = L"C:\\Downloads";
    ports.fileSystem->AddDirectory(L"C:\\Temp");
    auto constants = ShippedConstants();
    constants.wizardKey = L"XYZ";

    const ConfigurationManager config(constants);

    EXPECT_EQ(config.m_wizardType, 0);
    ASSERT_EQ(ports.ui->messages.size(), 1u);
    EXPECT_EQ(ports.ui->messages[0].text, L"Unknown wizard type");
    EXPECT_EQ(ports.ui->messages[0].caption, std::wstring());
    EXPECT_EQ(config.m_downloadFolder, L"");
    EXPECT_EQ(config.m_tempFolder, L"");
    EXPECT_EQ(ports.fileSystem->directories.size(), 1u) << "no temporary folder is made";
}

TEST(ProgramVersion, JoinsTheFourWordsWithoutPadding) {
    FakePorts ports;
    EXPECT_EQ(GetProgramVersion(), L"3.2.4.2137");
    ports.module->fileVersion = platform::FileVersion{(10u << 16) | 0u, (65535u << 16) | 7u};
    EXPECT_EQ(GetProgramVersion(), L"10.0.65535.7");
    ports.module->fileVersion.reset();
    EXPECT_EQ(GetProgramVersion(), L"");
}

TEST(ConfigurationGuard, PutsBackEveryValueATestChanged) {
    FakePorts ports;
    const auto config = ConfigurationManager::GetInstance();
    const ConfigurationValues before = *config;
    {
        testing::ConfigurationGuard guard;
        guard->m_offerDeclined = !before.m_offerDeclined;
        guard->m_configurations[4] = !before.m_configurations[4];
        guard->m_acceptedPackages.push_back(nullptr);
        guard->m_languageName = L"Deutsch";
        guard->m_pathPlaceholders = {};
    }
    EXPECT_EQ(config->m_offerDeclined, before.m_offerDeclined);
    EXPECT_EQ(config->m_configurations, before.m_configurations);
    EXPECT_EQ(config->m_acceptedPackages, before.m_acceptedPackages);
    EXPECT_EQ(config->m_languageName, before.m_languageName);
    EXPECT_FALSE(config->m_pathPlaceholders.empty());
}

}  // namespace
}  // namespace tessary
