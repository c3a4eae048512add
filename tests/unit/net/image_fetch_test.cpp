#include "net/image_fetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using namespace std::chrono_literals;
using testing::FakeImage;
using testing::FakeTransfer;
using Packages = std::vector<std::shared_ptr<Package>>;

constexpr wchar_t kProductImage[] = L"https://cdn.test/pictures/product.png?size=90";

// Offers whose pictures the file host serves, or not; the handover is waited for on the test's
// thread.
class ImageFetchTest : public ::testing::Test {
protected:
    ImageFetchTest() { config->m_filesUrl = L"https://files.test/f/"; }

    std::shared_ptr<Package> Offer(const std::string& image) {
        const nlohmann::json offer = {{"ad", {{"o", "offer-" + image}, {"f", "feed"}}},
                                      {"ps", {{"i", image}, {"dn", "Tool"}, {"u", "u.exe"}}}};
        return std::make_shared<Package>(SignedRequest(), offer, false, "", 0);
    }
    void Serve(const std::wstring& url, const std::string& bytes) {
        ports.transfer->Serve(platform::HttpStack::WinHttp, url, FakeTransfer::Body(bytes, bytes.size()));
    }
    // Starts the fetch and waits for the handover, counting how often it comes.
    Packages FetchAndWait(Packages packages, const std::wstring& productImage = {}) {
        auto handed = std::make_shared<std::promise<Packages>>();
        auto count = std::make_shared<std::atomic<int>>(0);
        m_handovers = count;
        auto fetch = ImageFetch::Start(std::move(packages), productImage, [handed, count](Packages ready) {
            if (++*count == 1) handed->set_value(std::move(ready));
        });
        auto future = handed->get_future();
        EXPECT_EQ(future.wait_for(10s), std::future_status::ready);
        return future.valid() ? future.get() : Packages{};
    }
    static std::string BytesOf(const std::shared_ptr<platform::Image>& image) {
        const auto* fake = dynamic_cast<const FakeImage*>(image.get());
        return fake ? std::string(fake->bytes.begin(), fake->bytes.end()) : std::string("<none>");
    }

    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
    std::shared_ptr<std::atomic<int>> m_handovers;
};

TEST_F(ImageFetchTest, NothingToFetchHandsOverAtOnce) {
    EXPECT_EQ(FetchAndWait({}), Packages{});
    EXPECT_TRUE(ports.transfer->Requests().empty());
    EXPECT_EQ(*m_handovers, 1);
}

TEST_F(ImageFetchTest, EveryPictureArrivesBeforeTheOneHandover) {
    Serve(L"https://files.test/f/one.png", "first picture");
    Serve(L"https://files.test/f/two.png", "second picture");
    Serve(kProductImage, "product picture");
    // The third offer's picture is missing: it stays without one, and the offers still go.
    const Packages offers{Offer("one.png"), Offer("two.png"), Offer("missing.png")};

    EXPECT_EQ(FetchAndWait(offers, kProductImage), offers);
    EXPECT_EQ(BytesOf(offers[0]->m_image), "first picture");
    EXPECT_EQ(BytesOf(offers[1]->m_image), "second picture");
    EXPECT_EQ(offers[2]->m_image, nullptr);
    // The product's address is used as it is, not put behind the file host.
    EXPECT_EQ(BytesOf(config->m_productImage), "product picture");
    EXPECT_EQ(dynamic_cast<const FakeImage&>(*config->m_productImage).kind, platform::ImageKind::Image);
    EXPECT_EQ(dynamic_cast<const FakeImage&>(*offers[0]->m_image).kind, platform::ImageKind::Bitmap);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(*m_handovers, 1) << "handed over exactly once";
}

TEST_F(ImageFetchTest, ARevokedFetchHandsNothingOverAndStoresNoProductPicture) {
    std::promise<void> release;
    auto released = release.get_future().share();
    auto script = FakeTransfer::Body("late picture", 12);
    script.onOpen = [released](const platform::TransferRequest&) { released.wait(); };
    ports.transfer->Serve(platform::HttpStack::WinHttp, kProductImage, script);
    auto handovers = std::make_shared<std::atomic<int>>(0);

    auto fetch = ImageFetch::Start({}, kProductImage, [handovers](Packages) { ++*handovers; });
    const std::weak_ptr<ImageFetch> held = fetch;
    fetch->Revoke();
    release.set_value();
    fetch.reset();
    // The download's thread lets go of the fetch once its picture has been dealt with.
    for (int i = 0; i < 500 && !held.expired(); ++i) std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(held.expired());
    EXPECT_EQ(*handovers, 0);
    EXPECT_EQ(config->m_productImage, nullptr);
}

TEST_F(ImageFetchTest, TheMainProductHasNoPictureToFetch) {
    auto main = std::make_shared<Package>(SignedRequest(), true, std::string("Veloran"), std::string(), std::string(),
                                          std::string(), 0);
    bool done = false;
    main->DownloadImage([&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_TRUE(ports.transfer->Requests().empty());
}

}  // namespace
}  // namespace tessary
