// How the Windows ports fail: each failing call returns the system's status with the Result and
// reports it to the diagnostics sink once; absence comes back as "not found" and is not reported.
#include <windows.h>
#include <winhttp.h>

#include <gtest/gtest.h>

#include "real_ports.h"
#include "recording_diagnostics.h"

namespace tessary {
namespace {

using platform::DiagnosticTarget;

class PortFailures : public ::testing::Test {
protected:
    PortFailures() {
        auto withRecorder = platform::CurrentPorts();
        withRecorder.diagnostics = m_recorder;
        platform::InstallPorts(withRecorder);
    }

    std::vector<std::string> Reported() const { return m_recorder->Texts(DiagnosticTarget::Debugger); }

    // A folder of this test's own in the temporary folder, removed with what it holds.
    std::wstring ScratchFolder() {
        m_folder = platform::FileSystem().GetTempPath().Value() + L"TessaryPortFailures";
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        return m_folder;
    }
    ~PortFailures() override {
        if (m_folder.empty()) return;
        ::DeleteFileW((m_folder + L"\\inside.txt").c_str());
        ::RemoveDirectoryW(m_folder.c_str());
    }

    testing::RealPorts m_real;  // put back when the test ends, recorder and all

private:
    std::shared_ptr<testing::RecordingDiagnostics> m_recorder = std::make_shared<testing::RecordingDiagnostics>();
    std::wstring m_folder;
};

// Once an error code, now a Result<void>.
TEST_F(PortFailures, FileOperationsCarryTheSystemStatus) {
    auto& files = platform::FileSystem();
    const std::wstring folder = ScratchFolder();
    ::CloseHandle(::CreateFileW((folder + L"\\inside.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    const auto notEmpty = files.RemoveDirectory(folder);
    EXPECT_TRUE(notEmpty.Failed());
    EXPECT_EQ(notEmpty.GetStatus(), static_cast<platform::Status>(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(Reported(), std::vector<std::string>{"RemoveDirectoryW failed: 145"});

    const auto missing = files.DeleteFile(folder + L"\\missing.txt");
    EXPECT_TRUE(missing.NotFound());
    EXPECT_EQ(missing.GetStatus(), static_cast<platform::Status>(ERROR_FILE_NOT_FOUND));
    const auto missingFolder = files.ListDirectory(folder + L"\\missing");
    EXPECT_TRUE(missingFolder.NotFound()) << missingFolder.GetStatus();
    EXPECT_EQ(Reported().size(), 1u) << "absence is an answer, not a failure to report";

    EXPECT_TRUE(files.DeleteFile(folder + L"\\inside.txt"));
    EXPECT_TRUE(files.RemoveDirectory(folder));
}

// Once an optional that could not say why; now the status comes along.
TEST_F(PortFailures, AbsentFactsAreNotFoundAndFailedReadsCarryTheirStatus) {
    const auto variable = platform::System().GetEnvironmentVariable(L"TESSARY_NEVER_SET");
    EXPECT_TRUE(variable.NotFound());
    EXPECT_EQ(variable.GetStatus(), static_cast<platform::Status>(ERROR_ENVVAR_NOT_FOUND));

    const auto tooSmall = platform::Registry().QueryValueNarrow(platform::RegistryRoot::LocalMachine,
                                                                "Software\\Microsoft\\Windows\\CurrentVersion",
                                                                "ProgramFilesDir", platform::RegistryView::Default, 4);
    EXPECT_TRUE(tooSmall.Failed());
    EXPECT_EQ(tooSmall.GetStatus(), static_cast<platform::Status>(ERROR_MORE_DATA));
    EXPECT_EQ(Reported(), std::vector<std::string>{"RegQueryValueExA failed: 234"});
}

// GetEnvironmentVariableW answers 0 both for a variable set to "" and for one that is not set;
// only the last error tells them apart, and a code left over from an earlier call must not.
TEST_F(PortFailures, AVariableSetToNothingIsEmptyAndARemovedOneIsNotFound) {
    auto& system = platform::System();
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TESSARY_SET_EMPTY", L""));
    ::SetLastError(ERROR_ACCESS_DENIED);
    const auto empty = system.GetEnvironmentVariable(L"TESSARY_SET_EMPTY");
    ASSERT_TRUE(empty) << empty.GetStatus();
    EXPECT_EQ(*empty, L"");

    ASSERT_TRUE(::SetEnvironmentVariableW(L"TESSARY_SET_EMPTY", nullptr));
    ::SetLastError(ERROR_ACCESS_DENIED);
    const auto removed = system.GetEnvironmentVariable(L"TESSARY_SET_EMPTY");
    EXPECT_TRUE(removed.NotFound());
    EXPECT_EQ(removed.GetStatus(), static_cast<platform::Status>(ERROR_ENVVAR_NOT_FOUND));

    ASSERT_TRUE(::SetEnvironmentVariableW(L"TESSARY_SET_SHORT", L"x"));
    const auto shortValue = system.GetEnvironmentVariable(L"TESSARY_SET_SHORT");
    ::SetEnvironmentVariableW(L"TESSARY_SET_SHORT", nullptr);
    ASSERT_TRUE(shortValue) << shortValue.GetStatus();
    EXPECT_EQ(*shortValue, L"x");
    EXPECT_TRUE(Reported().empty());
}

// Once a bool; now the status of the call that refused.
TEST_F(PortFailures, RegistryReadsOfTheWrongTypeCarryTheStatus) {
    auto& registry = platform::Registry();
    const auto key = registry.OpenKey(platform::RegistryRoot::LocalMachine,
                                      L"Software\\Microsoft\\Windows\\CurrentVersion", platform::RegistryView::Default);
    ASSERT_TRUE(key) << key.GetStatus();
    const auto number = registry.ReadDword(**key, L"ProgramFilesDir");
    EXPECT_TRUE(number.Failed());
    EXPECT_EQ(number.GetStatus(), static_cast<platform::Status>(ERROR_UNSUPPORTED_TYPE));
    EXPECT_EQ(Reported(), std::vector<std::string>{"RegGetValueW failed: 1630"});
}

// Once a status of its own; now absence comes back as "not found" with the system's code, and
// only a resource that is there but cannot be read would be a failure.
TEST_F(PortFailures, MissingResourcesAreNotFoundAndNotReported) {
    auto& module = platform::Module();
    const auto picture = module.LoadResource(101, L"IMAGE_BLOB");
    ASSERT_TRUE(picture) << picture.GetStatus();
    ASSERT_GT(picture->size(), 8u);
    EXPECT_EQ(std::string(picture->begin() + 1, picture->begin() + 4), "PNG");

    const auto noSuchName = module.LoadResource(999, L"IMAGE_BLOB");
    EXPECT_TRUE(noSuchName.NotFound());
    EXPECT_EQ(noSuchName.GetStatus(), static_cast<platform::Status>(ERROR_RESOURCE_NAME_NOT_FOUND));
    const auto noSuchType = module.LoadResource(101, L"TESSARY_NO_SUCH_TYPE");
    EXPECT_TRUE(noSuchType.NotFound());
    EXPECT_EQ(noSuchType.GetStatus(), static_cast<platform::Status>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    // This test program carries no version resource.
    const auto version = module.GetFixedFileVersion();
    EXPECT_TRUE(version.NotFound()) << version.GetStatus();
    EXPECT_TRUE(Reported().empty());
}

// Once a bool followed by a call for the last error; now the status travels with the answer. No
// server listens on 127.0.0.2, whether or not the stand-in service runs on 127.0.0.1.
TEST_F(PortFailures, AnExchangeThatCannotConnectCarriesTheStatus) {
    std::string response = "kept";
    const auto answer = platform::Http().HttpsPost(L"127.0.0.2", L"/o", "{}", {}, response);
    ASSERT_FALSE(answer);
    EXPECT_EQ(answer.GetStatus(), static_cast<platform::Status>(ERROR_WINHTTP_CANNOT_CONNECT));
    EXPECT_EQ(Reported(), std::vector<std::string>{"WinHttpSendRequest failed: 12029"});
    EXPECT_EQ(response, "kept");
}

}  // namespace
}  // namespace tessary
