#include "config/configuration_manager.h"

#include "config/wizard_type.h"
#include "platform/ports.h"

namespace tessary {
namespace {

std::wstring FirstAvailableDownloadFolder() {
    auto& files = platform::FileSystem();
    if (auto downloads = files.GetKnownFolder(platform::KnownFolder::Downloads)) return *downloads;
    if (auto documents = files.GetKnownFolder(platform::KnownFolder::Documents)) return *documents;
    if (auto temp = files.GetTempPath()) return *temp;
    return L"C:\\";
}

}  // namespace

std::shared_ptr<ConfigurationManager> ConfigurationManager::GetInstance() {
    static std::once_flag once;
    static std::shared_ptr<ConfigurationManager> instance;
    std::call_once(once, [] { instance = std::make_shared<ConfigurationManager>(CompiledBuildConstants()); });
    return instance;
}

ConfigurationManager::ConfigurationManager(const BuildConstants& constants) {
    m_wizardType = LookUpWizardType(constants.wizardKey);
    if (m_wizardType == static_cast<int>(WizardType::Unknown)) {
        platform::Ui().ShowMessage(L"Unknown wizard type", std::wstring(), platform::kMbOk);
    }
    m_btVariant = constants.btVariant;
    m_btClassicOptions = constants.btClassicOptions;
    m_mainFailureCode3 = constants.mainFailureCode3;
    m_version = GetProgramVersion();
    m_configUrl = constants.serviceHost + L"/o";
    m_eventsUrl = constants.serviceHost + L"/zbd";
    m_brand = constants.brand;
    m_clientId = constants.clientId;
    m_sourceId = constants.sourceId;
    m_filesUrl = constants.serviceHost + L"/f/";
    m_backgroundColor = constants.backgroundColor;
    m_accentColor = constants.accentColor;
    m_sdkPrivacyUrl = constants.companyHost + L"/privacy/";

    if (m_wizardType == static_cast<int>(WizardType::Dlm)) {
        SetUpDownloadFlavour();
    } else if (m_wizardType == static_cast<int>(WizardType::Isv)) {
        SetUpInstallerFlavour(constants);
    }
}

void ConfigurationManager::SetUpDownloadFlavour() {
    m_downloadFolder = FirstAvailableDownloadFolder();
    const std::wstring folder = CreateRunTempFolder();
    if (platform::FileSystem().IsDirectory(folder)) m_tempFolder = folder;
}

void ConfigurationManager::SetUpInstallerFlavour(const BuildConstants& constants) {
    m_productTitle = constants.isvProductTitle;
    m_productUrl = constants.isvProductUrl;
    m_productFallbackUrl = constants.isvProductFallbackUrl;
    m_productPrivacyUrl = constants.isvProductPrivacyUrl;
    m_productTermsUrl = constants.isvProductTermsUrl;
    m_productArguments = constants.isvProductArguments;
    m_launchTarget = constants.isvLaunchTarget;
    m_launchParameters = constants.isvLaunchParameters;
    const std::wstring folder = CreateRunTempFolder();
    if (platform::FileSystem().IsDirectory(folder)) {
        m_downloadFolder = folder;
        m_tempFolder = folder;
    }
}

std::wstring GetProgramVersion() {
    const auto version = platform::Module().GetFixedFileVersion();
    if (!version) return {};
    const unsigned parts[] = {version->versionMs >> 16, version->versionMs & 0xFFFFu, version->versionLs >> 16,
                              version->versionLs & 0xFFFFu};
    std::wstring text;
    for (unsigned part : parts) {
        if (!text.empty()) text += L'.';
        text += std::to_wstring(part);
    }
    return text;
}

std::wstring CreateRunTempFolder() {
    auto& files = platform::FileSystem();
    // The "ISV" prefix is used by both flavours.
    const std::wstring name =
        files.CreateUniqueTempFile(files.GetTempPath().ValueOr(std::wstring()), L"ISV").ValueOr(std::wstring());
    // A folder takes the unique file's name. When this fails, writing into it fails later, where
    // the user is told.
    static_cast<void>(files.DeleteFile(name));
    static_cast<void>(files.CreateDirectory(name));
    return name;
}

}  // namespace tessary
