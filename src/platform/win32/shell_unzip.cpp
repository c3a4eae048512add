#include "platform/win32/shell_unzip.h"

#include <windows.h>
#include <shldisp.h>

#include "platform/diagnostics.h"
#include "platform/win32/failure.h"
#include "platform/win32/handles.h"

namespace tessary::win32 {
namespace {

// Shell.Application and its IShellDispatch, spelled out so that no import library has to carry them.
constexpr CLSID kShellApplication = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShellDispatch = {0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI: no window, no question.
constexpr LONG kQuietCopy = 1556;

bool Report(const char* operation, HRESULT result) {
    platform::ReportFailure(operation, StatusOf(result));
    return false;
}

// The shell's folder object for a path; null when the shell has none for it.
ComPtr<Folder> OpenFolder(IShellDispatch& shell, const std::wstring& path) {
    const UniqueBstr text(::SysAllocString(path.c_str()));
    if (!text) return nullptr;
    VARIANT where;
    ::VariantInit(&where);
    where.vt = VT_BSTR;
    where.bstrVal = text.get();  // still owned by text
    ComPtr<Folder> folder;
    Folder* raw = nullptr;
    const HRESULT result = shell.NameSpace(where, &raw);
    folder.reset(raw);
    if (FAILED(result)) Report("IShellDispatch::NameSpace", result);
    return folder;
}

}  // namespace

bool UnzipWithShell(const std::wstring& archive, const std::wstring& folder) {
    const ComInitialization com;
    if (!com.Usable()) return Report("CoInitialize", com.Result());

    ComPtr<IShellDispatch> shell;
    void* rawShell = nullptr;
    HRESULT result = ::CoCreateInstance(kShellApplication, nullptr, CLSCTX_INPROC_SERVER, kShellDispatch, &rawShell);
    shell.reset(static_cast<IShellDispatch*>(rawShell));
    if (FAILED(result) || !shell) return Report("CoCreateInstance(Shell.Application)", result);

    const ComPtr<Folder> source = OpenFolder(*shell, archive);
    if (!source) return false;
    const ComPtr<Folder> target = OpenFolder(*shell, folder);
    if (!target) return false;

    ComPtr<FolderItems> items;
    FolderItems* rawItems = nullptr;
    result = source->Items(&rawItems);
    items.reset(rawItems);
    if (FAILED(result) || !items) return Report("Folder::Items", result);
    LONG count = 0;
    result = items->get_Count(&count);
    if (FAILED(result)) return Report("FolderItems::get_Count", result);
    if (count < 1) return false;

    ComPtr<IDispatch> dispatch;
    void* rawDispatch = nullptr;
    result = items->QueryInterface(IID_IDispatch, &rawDispatch);
    dispatch.reset(static_cast<IDispatch*>(rawDispatch));
    if (FAILED(result) || !dispatch) return Report("FolderItems::QueryInterface(IDispatch)", result);

    VARIANT what;
    ::VariantInit(&what);
    what.vt = VT_DISPATCH;
    what.pdispVal = dispatch.get();  // still owned by dispatch
    VARIANT options;
    ::VariantInit(&options);
    options.vt = VT_I4;
    options.lVal = kQuietCopy;
    result = target->CopyHere(what, options);
    if (result != S_OK) return Report("Folder::CopyHere", result);
    return true;
}

}  // namespace tessary::win32
