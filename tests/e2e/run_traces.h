#pragma once
// What a wizard run leaves on the machine: its temporary folder, the files it downloads, the
// installers it starts and the programs it opens.
#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tessary::e2e {

// The temporary folder the wizards share with the tests, with its final backslash.
std::wstring TempPath();
std::wstring KnownFolder(const KNOWNFOLDERID& id);
// Where the download flavour puts its product.
std::wstring DownloadsFolder();

// The run folders ("ISV*.tmp") in the temporary folder.
std::set<std::wstring> RunTempFolders();
// The one run folder that is not among those seen before; empty when there is none.
std::wstring NewRunTempFolder(const std::set<std::wstring>& before);
// Leaves a file in the folder, as a download would, so that removing it is a real removal.
bool PutFileInto(const std::wstring& folder);
bool Exists(const std::wstring& path);
// Removes a folder with everything in it.
void RemoveFolder(const std::wstring& folder);
// Whether the system is to remove the path at the next restart (PendingFileRenameOperations).
bool IsScheduledForRemoval(const std::wstring& path);
// Every file below the folder, as paths relative to it ("2\pack\setup.exe").
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

// One start of the sample installer (tests/win32/tools), as its log has it.
struct InstallerStart {
    std::wstring program;
    std::wstring commandLine;
};

// A log of its own for the sample installers started from now on: the programs started afterwards
// (the wizard, and what it starts) inherit TESSARY_INSTALLER_LOG naming it. Gone with this object.
class InstallerLog {
public:
    InstallerLog();
    ~InstallerLog();
    InstallerLog(const InstallerLog&) = delete;
    InstallerLog& operator=(const InstallerLog&) = delete;

    std::vector<InstallerStart> Starts() const;
    // The starts once there are at least count of them, or all there are when the time is up.
    std::vector<InstallerStart> WaitForStarts(std::size_t count,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;

private:
    std::wstring m_path;
};

// The start of the program whose path ends in "\" and the name ("setup.exe", "pack\setup.exe").
std::optional<InstallerStart> StartOf(const std::vector<InstallerStart>& starts, const std::wstring& name);

// The command lines of the running processes of the program with this file name, by process id.
std::map<DWORD, std::wstring> ProcessesNamed(const std::wstring& fileName);
// Ends a process the wizard started, by its id.
void EndProcess(DWORD processId);

}  // namespace tessary::e2e
