#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "i18n/language_manager.h"
#include "offers/offer_flow.h"
#include "pages/ipage.h"
#include "platform/win32/handles.h"
#include "ui/dialog.h"
#include "ui/static_from_image.h"

namespace tessary {

class Package;

// The wizard host: header, bottom band and the frame its pages are shown in, one at a time.
class CTessaryDlg : public ui::Dialog {
public:
    CTessaryDlg();
    ~CTessaryDlg() override;

    void CleanupTempFolder();
    // Waits a few seconds at most for the event reports still in flight.
    static void AwaitPendingReports();
    static void DeleteFolderTree(const std::wstring& path, const std::vector<std::wstring>& foldersInUse = {});

    // Navigation.
    bool CreateInitialPages();
    void CreatePage(IPage& page, const RECT& rectangle);
    void CreateAndAddPage(std::unique_ptr<IPage> page, const RECT& rectangle);
    void OnButton(ButtonType type);
    void GoToPage(unsigned index);
    void ShowErrorPage(const std::wstring& title, const std::wstring& text);
    LRESULT OnLoadCompleteMessage(WPARAM wParam, LPARAM lParam);
    // Set while the installer flavour waits for its product's installer: closing then asks
    // whether to leave it running.
    void SetInstallerRunning(bool running) { m_installerRunning = running; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnOK() override {}

private:
    bool OnSysCommand(WPARAM command);
    bool OnPaint();
    void OnClose();
    RECT PageRectangle() const;
    void AppendCloseToSystemMenu();
    void CreateMainPackage();
    void StoreLoadedOffers(std::vector<std::shared_ptr<Package>> offers);
    bool IsAnsweringPage(const IPage& page) const;
    void AnswerOffer(OfferAnswer answer);
    std::size_t OfferPagesAhead() const;

    HICON m_hIcon = nullptr;
    std::vector<std::unique_ptr<IPage>> m_pages;
    std::size_t m_initialPageCount = 0;  // pages made at start-up, before the configuration
    unsigned m_currentPage = 0;
    std::unique_ptr<IPage> m_errorPage;
    std::shared_ptr<LanguageManager> m_languageManager;
    bool m_errorShown = false;
    bool m_installerRunning = false;
    bool m_skipLoadingPage = false;
    bool m_contentPagesBuilt = false;
    HWND m_titleText = nullptr;
    CStaticFromImage m_productIcon;
    HWND m_headerLine = nullptr;
    win32::GdiObject m_bandBrush;
    HWND m_bottomBand = nullptr;
    OfferFlow m_offerFlow;  // the offers on their pages and the walk through them
    // The offers the loading page hands over, from whichever thread fetched the last picture,
    // until the load-complete message takes them to the interface thread.
    std::mutex m_loadedOffersMutex;
    std::vector<std::shared_ptr<Package>> m_loadedOffers;
    win32::KernelHandle m_singleInstanceMutex;
};

}  // namespace tessary
