#include "wizard_steps.h"

#include <vector>

#include "platform/win32/handles.h"

namespace tessary::e2e {
namespace {

std::wstring TempPath() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, path);
    return path;
}

std::vector<std::wstring> Entries(const std::wstring& pattern, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    win32::FindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return names;
    do {
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::wstring name = data.cFileName;
        if (folder == folders && name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.Get(), &data));
    return names;
}

}  // namespace

bool ShowsPicture(HWND control) {
    RECT bounds{};
    if (!control || !::IsWindowVisible(control) || !::GetWindowRect(control, &bounds)) return false;
    const HDC screen = ::GetDC(nullptr);
    // Every pixel of a small control such as the header's icon, every third of a large one.
    const int step = (bounds.right - bounds.left) * (bounds.bottom - bounds.top) < 4000 ? 1 : 3;
    std::set<COLORREF> colours;
    for (int y = bounds.top; y < bounds.bottom; y += step) {
        for (int x = bounds.left; x < bounds.right; x += step) colours.insert(::GetPixel(screen, x, y));
    }
    ::ReleaseDC(nullptr, screen);
    return colours.size() > 8;
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

void ClickButton(HWND button) { ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr); }

bool HasMinimizeBox(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZEBOX) != 0; }

std::set<std::wstring> RunTempFolders() {
    std::set<std::wstring> folders;
    for (const auto& name : Entries(TempPath() + L"ISV*.tmp", true)) folders.insert(TempPath() + name);
    return folders;
}

std::wstring NewRunTempFolder(const std::set<std::wstring>& before) {
    std::wstring found;
    for (const auto& folder : RunTempFolders()) {
        if (before.count(folder) != 0) continue;
        if (!found.empty()) return {};  // two new folders: not knowing which is ours, claim none
        found = folder;
    }
    return found;
}

bool PutFileInto(const std::wstring& folder) {
    win32::FileHandle file(::CreateFileW((folder + L"\\downloaded.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), "data", 4, &written, nullptr) && written == 4;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFolder(const std::wstring& folder) {
    for (const auto& name : Entries(folder + L"\\*", false)) ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace tessary::e2e
