#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "file_utils.h"
#include "record_listing.h"
#include "service.h"

namespace tessary::service {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const json kRequest = {{"a", "Veloran"},   {"i", "Veloran_DLM"}, {"l", "de"}, {"o", "10.0.19045"},
                       {"plv", "3.2.4.2137"}, {"prv", "0.1"},       {"s", "Veloran_3cpp"}, {"u", ""}};
const std::string kSignature = "Signature=" + std::string(64, 'a');

fs::path NewTemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "tessary-service-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

json RequestWithTag(const std::string& tag) {
    json request = kRequest;
    request["u"] = tag;
    return request;
}

std::string EventBody(const json& event) { return json{{"data", event.dump()}, {"table", "zb_analytics"}}.dump(); }

// A service on a free port with a data folder of its own, stopped and removed after each test.
class ServiceTest : public ::testing::Test {
protected:
    // Making RSA keys is the slow part of a start; every test copies the same ones.
    static void SetUpTestSuite() {
        s_tls = NewTemporaryFolder();
        EnsureTlsFiles(s_tls);
    }
    static void TearDownTestSuite() { fs::remove_all(s_tls); }

    void SetUp() override {
        m_data = NewTemporaryFolder();
        fs::copy(s_tls, TlsFolder(m_data), fs::copy_options::recursive);
        Start(std::nullopt);
    }

    void TearDown() override {
        Stop();
        fs::remove_all(m_data);
    }

    void Start(std::optional<fs::path> seed) {
        m_service = std::make_unique<Service>(ServiceSettings{m_data, std::move(seed)});
        m_port = m_service->Bind(0);
        m_thread = std::thread([this] { m_service->Run(); });
    }

    void Stop() {
        if (!m_service) return;
        m_service->Stop();
        m_thread.join();
        m_service.reset();
    }

    // Verifies the chain against the service's own CA and the host name against the certificate.
    std::unique_ptr<httplib::SSLClient> Client(const std::string& host = "localhost") {
        auto client = std::make_unique<httplib::SSLClient>(host, m_port);
        client->set_ca_cert_path(m_service->Tls().caCertificate.c_str());
        client->enable_server_certificate_verification(true);
        return client;
    }

    httplib::Result PostConfig(const std::string& body) {
        return Client()->Post("/o", {{"Expect", "100-continue"}}, body, "application/json");
    }
    httplib::Result PostEvent(const std::string& body, const std::string& authorization = kSignature) {
        return Client()->Post("/zbd", {{"Authorization", authorization}}, body, "application/json");
    }

    RecordStore Records() { return RecordStore(DatabaseFile(m_data)); }

    static inline fs::path s_tls;
    fs::path m_data;
    std::unique_ptr<Service> m_service;
    std::thread m_thread;
    int m_port = 0;
};

TEST_F(ServiceTest, ConfigurationIsChosenByTagWithDefaultForUnknownOrUnsafeTags) {
    WriteFile(m_data / "configs/default.json", R"({"doc":"default"})");
    WriteFile(m_data / "configs/ab1-x2z.json", R"({"doc":"tagged"})");
    WriteFile(m_data / "ab1-x2z.json", R"({"doc":"outside"})");

    const auto tagged = PostConfig(RequestWithTag("ab1-x2z").dump());
    ASSERT_TRUE(tagged);
    EXPECT_EQ(tagged->status, 200);
    EXPECT_EQ(tagged->body, R"({"doc":"tagged"})");
    EXPECT_EQ(tagged->get_header_value("Content-Type"), "application/json");

    for (const std::string tag : {"", "zz9-q8q", "../ab1-x2z", "configs/ab1-x2z"}) {
        const auto answer = PostConfig(RequestWithTag(tag).dump());
        ASSERT_TRUE(answer) << tag;
        EXPECT_EQ(answer->body, R"({"doc":"default"})") << tag;
    }
}

TEST_F(ServiceTest, ConfigurationRequestsAreRecordedWithBodyAndHeaders) {
    WriteFile(m_data / "configs/default.json", "{}");
    const std::string body = RequestWithTag("ab1-x2z").dump();
    ASSERT_TRUE(PostConfig(body));

    const auto requests = Records().ConfigRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, body);
    EXPECT_EQ(requests[0].tag, "ab1-x2z");
    EXPECT_EQ(requests[0].document, "default");
    EXPECT_EQ(requests[0].status, 200);
    const auto headers = json::parse(requests[0].headers);
    EXPECT_EQ(headers["Expect"], "100-continue");
    EXPECT_EQ(headers["Content-Type"], "application/json");
    EXPECT_FALSE(headers.contains("REMOTE_ADDR"));
}

TEST_F(ServiceTest, StatusFilesAnswerTheirStatusesInTurnThenRepeatTheLast) {
    WriteFile(m_data / "configs/default.json", R"({"doc":"default"})");
    WriteFile(m_data / "configs/fai-l00.status", "500 302\n");
    WriteFile(m_data / "configs/bad-doc.status", "500");
    WriteFile(m_data / "configs/bad-doc.json", R"({"doc":"still sent"})");

    std::vector<int> statuses;
    for (int i = 0; i < 3; ++i) {
        const auto answer = PostConfig(RequestWithTag("fai-l00").dump());
        ASSERT_TRUE(answer);
        statuses.push_back(answer->status);
        EXPECT_EQ(answer->body, "") << "a status-only document has no body";
    }
    EXPECT_EQ(statuses, (std::vector<int>{500, 302, 302}));

    const auto failing = PostConfig(RequestWithTag("bad-doc").dump());
    ASSERT_TRUE(failing);
    EXPECT_EQ(failing->status, 500);
    EXPECT_EQ(failing->body, R"({"doc":"still sent"})");
}

TEST_F(ServiceTest, MalformedConfigurationRequestsAreRefusedAndTheServiceGoesOn) {
    WriteFile(m_data / "configs/default.json", "{}");
    json missing = kRequest;
    missing.erase("plv");
    json wrongType = kRequest;
    wrongType["u"] = 7;

    for (const std::string& body : {std::string("not json"), std::string("[1,2]"), std::string(""), missing.dump(),
                                   wrongType.dump(), std::string("{\"a\":\"\xff\"}")}) {
        const auto answer = PostConfig(body);
        ASSERT_TRUE(answer) << body;
        EXPECT_EQ(answer->status, 400) << body;
    }
    const auto good = PostConfig(kRequest.dump());
    ASSERT_TRUE(good);
    EXPECT_EQ(good->status, 200);

    const auto requests = Records().ConfigRequests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].status, 400);
    EXPECT_EQ(requests[0].body, "not json");
}

TEST_F(ServiceTest, EventsAreStoredWithSignatureAndDecodedFields) {
    const json event = {{"5", "Veloran Bildkünstler"}, {"6", "3"}, {"10", 1}, {"12", ""}};
    const auto answer = PostEvent(EventBody(event));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);

    const auto events = Records().Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].authorization, kSignature);
    EXPECT_EQ(events[0].table, "zb_analytics");
    EXPECT_EQ(events[0].data, event.dump());
    EXPECT_EQ(events[0].code, "3");
    EXPECT_EQ(events[0].package, "Veloran Bildkünstler");
}

TEST_F(ServiceTest, MalformedEventsAreRefusedAndNotStored) {
    const std::string good = EventBody({{"6", "1"}});
    const struct {
        std::string body;
        std::string authorization;
    } cases[] = {
        {good, ""},
        {good, "Bearer " + std::string(64, 'a')},
        {good, "Signature=" + std::string(63, 'a')},
        {good, "Signature=" + std::string(64, 'A')},
        {"not json", kSignature},
        {R"(["data","table"])", kSignature},
        {R"({"table":"zb_analytics"})", kSignature},
        {R"({"data":{"6":"1"},"table":"zb_analytics"})", kSignature},
        {R"({"data":"{\"6\":\"1\"}","table":5})", kSignature},
        {R"({"data":"[1]","table":"zb_analytics"})", kSignature},
        {R"({"data":"{broken","table":"zb_analytics"})", kSignature},
    };
    for (const auto& test : cases) {
        const auto answer = PostEvent(test.body, test.authorization);
        ASSERT_TRUE(answer) << test.body << " / " << test.authorization;
        EXPECT_EQ(answer->status, 400) << test.body << " / " << test.authorization;
    }
    EXPECT_TRUE(Records().Events().empty());

    const auto answer = PostEvent(good);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(Records().Events().size(), 1u);
}

TEST_F(ServiceTest, ListingShowsOneGreppableLinePerRecord) {
    ASSERT_TRUE(PostEvent(EventBody({{"5", "atlas-kartenviewer"}, {"6", "-1"}, {"12", "DOWNLOAD FAILED: a\tb\nc"}})));
    ASSERT_TRUE(PostEvent(EventBody({{"5", "Veloran Bildkünstler"}, {"6", "1"}})));
    WriteFile(m_data / "configs/default.json", "{}");
    ASSERT_TRUE(PostConfig(kRequest.dump()));

    std::ostringstream events;
    PrintEvents(Records().Events(), events);
    std::istringstream lines(events.str());
    std::string first, second, extra;
    ASSERT_TRUE(std::getline(lines, first));
    ASSERT_TRUE(std::getline(lines, second));
    EXPECT_FALSE(std::getline(lines, extra)) << "a line break inside a field must not split the record";
    EXPECT_NE(first.find("\tcode=-1\tpackage=atlas-kartenviewer\t" + kSignature + "\t{"), std::string::npos);
    EXPECT_NE(first.find(R"(DOWNLOAD FAILED: a\tb\nc)"), std::string::npos);
    EXPECT_NE(second.find("\tcode=1\tpackage=Veloran Bildkünstler\t"), std::string::npos);

    std::ostringstream requests;
    PrintConfigRequests(Records().ConfigRequests(), requests);
    EXPECT_NE(requests.str().find("\tstatus=200\tdocument=default\t{"), std::string::npos);
    EXPECT_NE(requests.str().find(kRequest.dump()), std::string::npos);
}

TEST_F(ServiceTest, FilesAreServedWithTheirLengthAndNothingOutsideTheFolder) {
    const std::string image(3000, '\x89');
    WriteFile(m_data / "files/offer.png", image);
    WriteFile(m_data / "files/offers/setup.exe", "MZ");
    WriteFile(m_data / "secret.txt", "secret");
    fs::create_symlink(m_data / "secret.txt", m_data / "files/link.txt");

    auto client = Client();
    const auto served = client->Get("/f/offer.png");
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 200);
    EXPECT_EQ(served->body, image);
    EXPECT_EQ(served->get_header_value("Content-Length"), "3000");
    EXPECT_EQ(served->get_header_value("Content-Type"), "image/png");

    const auto nested = client->Get("/f/offers/setup.exe");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->status, 200);
    EXPECT_EQ(nested->body, "MZ");

    for (const std::string path : {"/f/missing.png", "/f/offers", "/f/link.txt"}) {
        const auto answer = client->Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 404) << path;
    }
    for (const std::string path : {"/f/../secret.txt", "/f/%2e%2e/secret.txt", "/f/offers/../../secret.txt",
                                   "/f//etc/passwd", "/f/..%5csecret.txt", "/f/"}) {
        const auto answer = client->Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_NE(answer->status, 200) << path;
        EXPECT_EQ(answer->body.find("secret"), std::string::npos) << path;
    }
}

TEST_F(ServiceTest, CertificateCoversTheIpAddressAndSurvivesARestart) {
    const auto before = Client("127.0.0.1")->Get("/f/none");
    ASSERT_TRUE(before) << "TLS to 127.0.0.1 failed: " << httplib::to_string(before.error());
    const auto ca = ReadWholeFile(m_service->Tls().caCertificate);
    ASSERT_TRUE(ca);

    Stop();
    Start(std::nullopt);
    EXPECT_EQ(ReadWholeFile(m_service->Tls().caCertificate), ca) << "the CA must be kept across starts";
    EXPECT_TRUE(Client()->Get("/f/none"));
}

TEST_F(ServiceTest, ShippedDemoDataIsAWellFormedDocumentWhoseFilesExist) {
    Stop();
    Start(fs::path(TESSARY_SERVICE_SEED));
    const auto answer = PostConfig(kRequest.dump());
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->status, 200);
    const auto document = json::parse(answer->body);

    const auto& product = document.at("i");
    EXPECT_FALSE(product.at("ct").get<std::string>().empty());
    EXPECT_NE(document.at("i").at("ch"), "00xA") << "that value turns the offers off";
    const std::string base = "https://localhost/f/";
    auto client = Client();
    const auto served = [&](const std::string& name) {
        const auto file = client->Get("/f/" + name);
        return file && file->status == 200;
    };
    for (const char* key : {"cu", "cl"}) {
        const auto url = product.at(key).get<std::string>();
        ASSERT_TRUE(url.starts_with(base)) << url;
        EXPECT_TRUE(served(url.substr(base.size()))) << url;
    }
    EXPECT_GE(document.at("f").at("m").get<int>(), 1);
    ASSERT_GE(document.at("o").size(), 2u);
    for (const auto& offer : document.at("o")) {
        EXPECT_TRUE(offer.at("ad").at("o").is_string());
        EXPECT_TRUE(offer.at("ad").at("f").is_string());
        const auto& package = offer.at("ps");
        EXPECT_TRUE(package.at("dn").is_string());
        EXPECT_TRUE(served(package.at("i").get<std::string>()));
        EXPECT_TRUE(served(package.at("u").get<std::string>()));
    }
}

}  // namespace
}  // namespace tessary::service
