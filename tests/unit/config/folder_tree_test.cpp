#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/folder_tree.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::FakePorts;

TEST(DeleteFolderTree, RemovesEverythingAndLeavesHeldFilesToTheNextRestart) {
    FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\Temp\\ISV1.tmp");
    files.AddDirectory(L"C:\\Temp\\ISV1.tmp\\sub");
    files.AddFile(L"C:\\Temp\\ISV1.tmp\\a.exe");
    files.AddFile(L"C:\\Temp\\ISV1.tmp\\sub\\b.dll");
    files.AddFile(L"C:\\Temp\\ISV1.tmp\\held.exe");
    files.lockedFiles.insert(L"C:\\Temp\\ISV1.tmp\\held.exe");
    files.AddDirectory(L"C:\\Temp\\ISV1.tmp\\run");
    files.AddFile(L"C:\\Temp\\ISV1.tmp\\run\\held.dll");
    files.lockedFiles.insert(L"C:\\Temp\\ISV1.tmp\\run\\held.dll");

    DeleteFolderTree(L"C:\\Temp\\ISV1.tmp");

    EXPECT_FALSE(files.PathExists(L"C:\\Temp\\ISV1.tmp\\a.exe"));
    EXPECT_FALSE(files.PathExists(L"C:\\Temp\\ISV1.tmp\\sub"));
    EXPECT_TRUE(files.PathExists(L"C:\\Temp\\ISV1.tmp\\held.exe"));
    // Each once: a folder that keeps a held file is not listed again by the folder above it.
    EXPECT_THAT(files.scheduledForRestart,
                ::testing::UnorderedElementsAre(L"C:\\Temp\\ISV1.tmp\\held.exe", L"C:\\Temp\\ISV1.tmp\\run\\held.dll",
                                                L"C:\\Temp\\ISV1.tmp\\run", L"C:\\Temp\\ISV1.tmp"))
        << "only what is still there is left to the restart";
    EXPECT_EQ(files.scheduledForRestart.back(), L"C:\\Temp\\ISV1.tmp");
}

TEST(DeleteFolderTree, FoldersOfRunningProgramsAreLeftToTheNextRestart) {
    FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\Temp\\ISV3.tmp");
    files.AddDirectory(L"C:\\Temp\\ISV3.tmp\\2");
    files.AddDirectory(L"C:\\Temp\\ISV3.tmp\\2\\pack");
    files.AddFile(L"C:\\Temp\\ISV3.tmp\\2\\pack\\setup.exe");
    files.AddFile(L"C:\\Temp\\ISV3.tmp\\2\\pack.zip");
    files.AddDirectory(L"C:\\Temp\\ISV3.tmp\\3");
    files.AddFile(L"C:\\Temp\\ISV3.tmp\\3\\done.exe");

    DeleteFolderTree(L"C:\\Temp\\ISV3.tmp", {L"c:/temp/isv3.tmp\\\\2\\"});

    // The running program keeps its folder until the restart, in an order the system can follow.
    EXPECT_TRUE(files.PathExists(L"C:\\Temp\\ISV3.tmp\\2\\pack\\setup.exe"));
    EXPECT_TRUE(files.PathExists(L"C:\\Temp\\ISV3.tmp\\2\\pack.zip"));
    EXPECT_FALSE(files.PathExists(L"C:\\Temp\\ISV3.tmp\\3"));
    EXPECT_EQ(files.scheduledForRestart,
              (std::vector<std::wstring>{L"C:\\Temp\\ISV3.tmp\\2\\pack\\setup.exe", L"C:\\Temp\\ISV3.tmp\\2\\pack",
                                         L"C:\\Temp\\ISV3.tmp\\2\\pack.zip", L"C:\\Temp\\ISV3.tmp\\2",
                                         L"C:\\Temp\\ISV3.tmp"}));
}

TEST(DeleteFolderTree, ALinkAmongTheFilesIsRemovedNeverFollowed) {
    FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\Temp\\ISV4.tmp");
    files.AddDirectory(L"C:\\Temp\\ISV4.tmp\\2");
    files.AddFile(L"C:\\Temp\\ISV4.tmp\\2\\setup.exe");
    // Below the links: what they lead to, somewhere else on the machine.
    for (const std::wstring link : {L"C:\\Temp\\ISV4.tmp\\system", L"C:\\Temp\\ISV4.tmp\\2\\system"}) {
        files.AddDirectory(link);
        files.links.insert(link);
        files.AddFile(link + L"\\kernel.dll");
        files.lockedFiles.insert(link + L"\\kernel.dll");
    }

    DeleteFolderTree(L"C:\\Temp\\ISV4.tmp");
    EXPECT_FALSE(files.IsDirectory(L"C:\\Temp\\ISV4.tmp"));
    EXPECT_TRUE(files.PathExists(L"C:\\Temp\\ISV4.tmp\\system\\kernel.dll"));
    EXPECT_TRUE(files.scheduledForRestart.empty());

    // In a folder left for the restart the link goes at once, so the restart can remove the
    // folder, and is given nothing behind the link.
    files.AddDirectory(L"C:\\Temp\\ISV4.tmp");
    files.AddDirectory(L"C:\\Temp\\ISV4.tmp\\2");
    files.AddDirectory(L"C:\\Temp\\ISV4.tmp\\2\\system");
    files.links.insert(L"C:\\Temp\\ISV4.tmp\\2\\system");
    DeleteFolderTree(L"C:\\Temp\\ISV4.tmp", {L"C:\\Temp\\ISV4.tmp\\2"});
    EXPECT_FALSE(files.IsDirectory(L"C:\\Temp\\ISV4.tmp\\2\\system"));
    EXPECT_EQ(files.scheduledForRestart, (std::vector<std::wstring>{L"C:\\Temp\\ISV4.tmp\\2", L"C:\\Temp\\ISV4.tmp"}));

    // The run folder itself swapped for a junction: only the junction goes.
    files.scheduledForRestart.clear();
    files.AddDirectory(L"C:\\Temp\\ISV5.tmp");
    files.links.insert(L"C:\\Temp\\ISV5.tmp");
    files.AddFile(L"C:\\Temp\\ISV5.tmp\\settings.ini");
    DeleteFolderTree(L"C:\\Temp\\ISV5.tmp");
    EXPECT_FALSE(files.IsDirectory(L"C:\\Temp\\ISV5.tmp"));
    EXPECT_TRUE(files.PathExists(L"C:\\Temp\\ISV5.tmp\\settings.ini"));
    EXPECT_TRUE(files.scheduledForRestart.empty());
}

TEST(DeleteFolderTree, EmptyOrMissingFolderIsLeftAlone) {
    FakePorts ports;
    ports.fileSystem->AddDirectory(L"C:\\Temp\\ISV2.tmp");
    DeleteFolderTree(L"C:\\Temp\\ISV2.tmp");
    DeleteFolderTree(L"C:\\Temp\\missing");
    EXPECT_TRUE(ports.fileSystem->IsDirectory(L"C:\\Temp\\ISV2.tmp"));
    EXPECT_TRUE(ports.fileSystem->scheduledForRestart.empty());
}

}  // namespace
}  // namespace tessary
