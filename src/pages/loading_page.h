#pragma once
#include <future>
#include <memory>
#include <vector>

#include "config/configuration_document.h"
#include "pages/callback_page.h"
#include "ui/window_token.h"

namespace tessary {

class ImageFetch;
class Package;

// Shown while the remote configuration is fetched: a marquee while a worker requests the
// configuration, reads it and judges the offers, then, back on the interface thread, the
// pictures are fetched and the kept offers handed to the host. A failure shows the configuration
// error, except in the installer flavour, which goes on without offers.
class LoadingPage : public CallbackPage {
public:
    using PackagesReady = std::function<void(std::vector<std::shared_ptr<Package>>)>;

    LoadingPage(std::shared_ptr<LanguageManager> languageManager, HWND parent);
    // Neither the worker nor a picture that arrives later reaches the page once it is gone, and
    // the page does not wait for them.
    ~LoadingPage() override;

    // Starts the marquee and the worker.
    void OnNavigateToPage() override;
    // Tells the error callback the flavour's configuration error.
    void ShowConfigurationError();

    PackagesReady m_onPackagesReady;

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnRequestComplete(WPARAM wParam, LPARAM lParam);
    void StopWorkers();

    HWND m_progress = nullptr;
    std::shared_ptr<ui::WindowToken> m_worker;
    std::future<LoadedConfiguration> m_result;
    std::shared_ptr<ImageFetch> m_images;
};

}  // namespace tessary
