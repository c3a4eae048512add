#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "descriptor.h"
#include "file_utils.h"
#include "record_listing.h"
#include "service.h"

namespace tessary::service {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const json kRequest = {{"a", "Veloran"},      {"i", "Veloran_DLM"}, {"l", "de"},           {"o", "10.0.19045"},
                       {"plv", "3.2.4.2137"}, {"prv", "0.1"},       {"s", "Veloran_3cpp"}, {"u", ""}};
// The wizard signs with the SHA-256 of its machine identifier followed by its session timestamp,
// both carried in the event as members "1" and "2". Computed apart from the service, with
//   printf '%s' 4c4c4544-0042-3510-8052-b4c04f4b4e32 20251209080000 | sha256sum
const std::string kMachine = "4c4c4544-0042-3510-8052-b4c04f4b4e32";
const std::string kSession = "20251209080000";
const std::string kSignature = "Signature=15a9562f56234f6ea1e4d9146ad8638f890109ac114a158842c24840f2e0b7f0";

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

// The event with the machine and session that kSignature signs, unless it names its own.
json Signed(json event) {
    if (!event.contains("1")) event["1"] = kMachine;
    if (!event.contains("2")) event["2"] = kSession;
    return event;
}

std::string EventBody(const json& event, const std::string& table = "zb_analytics") {
    return json{{"data", Signed(event).dump()}, {"table", table}}.dump();
}

// A TLS connection that sends bytes exactly as given and shows the answer exactly as it came, interim
// replies included; an HTTP client library would hide both.
class RawTlsConnection {
public:
    RawTlsConnection(int port, const fs::path& ca) : m_context(SSL_CTX_new(TLS_client_method())) {
        SSL_CTX_load_verify_locations(m_context.get(), ca.c_str(), nullptr);
        SSL_CTX_set_verify(m_context.get(), SSL_VERIFY_PEER, nullptr);
        m_socket = Descriptor(::socket(AF_INET, SOCK_STREAM, 0));
        const timeval timeout{10, 0};  // a hang fails the test instead of blocking it
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return;
        m_ssl.reset(SSL_new(m_context.get()));
        SSL_set_fd(m_ssl.get(), m_socket.Get());
        SSL_set1_host(m_ssl.get(), "localhost");
        m_connected = SSL_connect(m_ssl.get()) == 1;
    }

    bool Connected() const { return m_connected; }
    bool Send(const std::string& bytes) {
        return m_connected &&
               SSL_write(m_ssl.get(), bytes.data(), static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
    }
    // Everything until the answer ends with tail, or (empty tail) until the service closes the
    // connection; 10 s without a byte also end it.
    std::string ReadUntil(const std::string& tail = "") {
        std::string answer;
        char buffer[4096];
        while (m_connected && (tail.empty() || !answer.ends_with(tail))) {
            const int read = SSL_read(m_ssl.get(), buffer, sizeof buffer);
            if (read <= 0) break;
            answer.append(buffer, read);
        }
        return answer;
    }

private:
    struct ContextFree {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    };
    struct SslFree {
        void operator()(SSL* ssl) const { SSL_free(ssl); }
    };
    std::unique_ptr<SSL_CTX, ContextFree> m_context;
    Descriptor m_socket;
    std::unique_ptr<SSL, SslFree> m_ssl;
    bool m_connected = false;
};

std::string PostHead(const std::string& path, const std::string& body, const std::string& extraHeaders = "") {
    return "POST " + path +
           " HTTP/1.1\r\nHost: localhost\r\nExpect: 100-continue\r\nContent-Type: application/json\r\n" + extraHeaders +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

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
    EXPECT_EQ(events[0].data, Signed(event).dump());
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
        {EventBody({{"6", "1"}}, "analytics"), kSignature},
        {EventBody({{"6", "1"}, {"2", "20251209080001"}}), kSignature},
        {EventBody({{"6", "1"}, {"1", 7}}), kSignature},
        {good, "Signature=" + std::string(64, 'a')},
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

TEST_F(ServiceTest, AnEventSignatureIsTheDigestOfTheEventsOwnMachineAndSession) {
    EXPECT_EQ(EventSignature({{"1", kMachine}, {"2", kSession}, {"6", "3"}}), kSignature);
    EXPECT_EQ(EventSignature({{"1", kMachine}}), "");

    // The same signature over another machine's event is someone else's.
    const auto other = PostEvent(EventBody({{"1", "6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93"}, {"6", "3"}}));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 400);
    EXPECT_NE(other->body.find("\"1\" and \"2\""), std::string::npos) << other->body;
    EXPECT_TRUE(Records().Events().empty());
}

TEST_F(ServiceTest, EventsKeepTheirHeadersInTheOrderSent) {
    RawTlsConnection connection(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(connection.Connected());
    const std::string event = EventBody({{"6", "1"}});
    const std::string head = "POST /zbd HTTP/1.1\r\nHost: localhost\r\nAuthorization: " + kSignature +
                             "\r\nExpect: 100-continue\r\nContent-Type: application/json\r\nX-Trace: 2\r\n"
                             "Content-Length: " +
                             std::to_string(event.size()) + "\r\nX-Trace: 1\r\nConnection: close\r\n\r\n";
    ASSERT_TRUE(connection.Send(head + event));
    EXPECT_TRUE(connection.ReadUntil().starts_with("HTTP/1.1 200 OK\r\n"));

    const auto events = Records().Events();
    ASSERT_EQ(events.size(), 1u);
    std::vector<std::string> names;
    const auto headers = nlohmann::ordered_json::parse(events[0].headers);
    for (const auto& [name, value] : headers.items()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Host", "Authorization", "Expect", "Content-Type", "X-Trace",
                                               "Content-Length", "Connection"}))
        << events[0].headers;
    EXPECT_EQ(json::parse(events[0].headers)["X-Trace"], "2, 1");
    EXPECT_EQ(json::parse(events[0].headers)["Authorization"], kSignature);
}

TEST_F(ServiceTest, AnEventsStatusFileAnswersEventsInTurnAndEachIsStoredWithItsStatus) {
    WriteFileAtomically(EventsStatusFile(m_data), "503 200\n");
    const std::string body = EventBody({{"5", "atlas-kartenviewer"}, {"6", "2"}});
    std::vector<int> statuses;
    for (int i = 0; i < 3; ++i) {
        const auto answer = PostEvent(body);
        ASSERT_TRUE(answer);
        statuses.push_back(answer->status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{503, 200, 200}));

    const auto events = Records().Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].status, 503);
    EXPECT_EQ(events[1].status, 200);
    EXPECT_EQ(events[0].data, events[1].data);
}

TEST_F(ServiceTest, ADatabaseFromBeforeEventHeadersIsCarriedOn) {
    Stop();
    fs::remove(DatabaseFile(m_data));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(DatabaseFile(m_data).c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE events (id INTEGER PRIMARY KEY, received TEXT NOT NULL, authorization "
                               "TEXT NOT NULL, table_name TEXT NOT NULL, data TEXT NOT NULL, code TEXT NOT NULL, "
                               "package TEXT NOT NULL);"
                               "INSERT INTO events VALUES (1, 't', 'a', 'zb_analytics', '{}', '3', 'p');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    Start(std::nullopt);
    ASSERT_TRUE(PostEvent(EventBody({{"6", "1"}})));
    const auto events = Records().Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].status, 200);
    EXPECT_EQ(events[0].headers, "");
    EXPECT_EQ(json::parse(events[1].headers)["Authorization"], kSignature);
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
    EXPECT_NE(second.find("\ttable=zb_analytics\tstatus=200\t{"), std::string::npos) << second;

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

TEST_F(ServiceTest, FilesNamedChunkedGoOutWithoutALengthAndFilesNamedSlowInPacedPieces) {
    const std::string bytes(40'000, 'x');
    for (const char* name : {"data-chunked.bin", "data-slow.bin", "data-slow-chunked.bin"}) {
        WriteFile(m_data / "files/e2e" / name, bytes);
    }
    auto client = Client();
    const struct {
        const char* path;
        bool chunked;
        bool paced;
    } files[] = {{"/f/e2e/data-chunked.bin", true, false},
                 {"/f/e2e/data-slow.bin", false, true},
                 {"/f/e2e/data-slow-chunked.bin", true, true}};
    for (const auto& file : files) {
        const auto start = std::chrono::steady_clock::now();
        const auto served = client->Get(file.path);
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(served) << file.path;
        EXPECT_EQ(served->status, 200) << file.path;
        EXPECT_EQ(served->body, bytes) << file.path;
        EXPECT_EQ(served->has_header("Content-Length"), !file.chunked) << file.path;
        EXPECT_EQ(served->get_header_value("Transfer-Encoding") == "chunked", file.chunked) << file.path;
        // Three pieces of 16 KiB, each after a pause of 100 ms.
        if (file.paced) {
            EXPECT_GE(took, std::chrono::milliseconds(300)) << file.path;
        } else {
            EXPECT_LT(took, std::chrono::milliseconds(300)) << file.path;
        }
    }
}

TEST_F(ServiceTest, RecordedEventsAreListedOverHttpsFromAGivenTime) {
    ASSERT_TRUE(PostEvent(EventBody({{"5", "before"}, {"6", "1"}})));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string since = UtcTimestamp();
    ASSERT_TRUE(PostEvent(EventBody({{"5", "after"}, {"6", "-1"}, {"12", "DOWNLOAD FAILED: x"}})));

    auto client = Client();
    const auto all = client->Get("/records/events");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->status, 200);
    EXPECT_EQ(CountOf(all->body, "\n"), 2u) << all->body;
    EXPECT_EQ(CountOf(all->body, "\tcode="), 2u) << all->body;

    const auto recent = client->Get("/records/events?since=" + since);
    ASSERT_TRUE(recent);
    EXPECT_EQ(CountOf(recent->body, "\tcode="), 1u) << recent->body;
    EXPECT_NE(recent->body.find("\tcode=-1\tpackage=after\t"), std::string::npos) << recent->body;
    EXPECT_NE(recent->body.find("DOWNLOAD FAILED: x"), std::string::npos);

    const auto none = client->Get("/records/events?since=9999-01-01T00:00:00.000Z");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->body, "");
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

TEST_F(ServiceTest, ExpectContinueGetsOnlyTheFinalAnswerAndIsStillRecorded) {
    WriteFile(m_data / "configs/default.json", R"({"doc":"default"})");
    RawTlsConnection connection(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(connection.Connected());
    const std::string body = kRequest.dump();
    ASSERT_TRUE(connection.Send(PostHead("/o", body, "Connection: close\r\n") + body));

    const auto answer = connection.ReadUntil();
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    EXPECT_EQ(CountOf(answer, "HTTP/1.1 "), 1u) << answer;
    EXPECT_TRUE(
        answer.ends_with("\r\n\r\n"
                         R"({"doc":"default"})"))
        << answer;

    const auto requests = Records().ConfigRequests();
    ASSERT_EQ(requests.size(), 1u);
    const auto headers = json::parse(requests[0].headers);
    EXPECT_EQ(headers["Expect"], "100-continue");
    EXPECT_EQ(headers["Connection"], "close");
    EXPECT_EQ(headers.size(), 5u) << headers.dump() << ": the forwarding header must not show up";
}

TEST_F(ServiceTest, OneConnectionCarriesSeveralRequestsWithBodiesAndFiles) {
    WriteFile(m_data / "configs/default.json", R"({"doc":"default"})");
    const std::string image(40'000, '\x89');
    WriteFile(m_data / "files/offer.png", image);
    RawTlsConnection connection(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(connection.Connected());
    const std::string config = kRequest.dump();
    const std::string event = EventBody({{"6", "1"}});
    // The second request claims on its own that the client sent Expect; that must not be believed.
    const std::string forged =
        "POST /o HTTP/1.1\r\nHost: localhost\r\nX-Tessary-Forwarded-Expect: 100-continue\r\n"
        "Content-Length: " +
        std::to_string(config.size()) + "\r\n\r\n" + config;
    const struct {
        std::string request;
        std::string answerTail;
    } exchanges[] = {
        {PostHead("/o", config) + config, R"({"doc":"default"})"},
        {forged, R"({"doc":"default"})"},
        {PostHead("/zbd", event, "Authorization: " + kSignature + "\r\n") + event, "\r\n\r\n{}"},
        {"GET /f/offer.png HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n", ""},
    };
    for (const auto& exchange : exchanges) {
        ASSERT_TRUE(connection.Send(exchange.request)) << exchange.request;
        const auto answer = connection.ReadUntil(exchange.answerTail);
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << exchange.request << "\n" << answer.substr(0, 300);
        EXPECT_EQ(CountOf(answer, "HTTP/1.1 "), 1u) << exchange.request;
        if (exchange.answerTail.empty()) {
            EXPECT_TRUE(answer.ends_with("\r\n\r\n" + image));
        }
    }

    const auto requests = Records().ConfigRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(json::parse(requests[0].headers)["Expect"], "100-continue");
    const auto forgedHeaders = json::parse(requests[1].headers);
    EXPECT_FALSE(forgedHeaders.contains("Expect")) << forgedHeaders.dump();
    EXPECT_FALSE(forgedHeaders.contains("X-Tessary-Forwarded-Expect")) << forgedHeaders.dump();
    EXPECT_EQ(Records().Events().size(), 1u);
}

TEST_F(ServiceTest, StopEndsConnectionsThatAreStillOpen) {
    RawTlsConnection idle(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(idle.Connected());
    RawTlsConnection halfSent(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(halfSent.Send("POST /o HTTP/1.1\r\nContent-Length: 100\r\n\r\n{"));
    // A paced file that would take seconds is still going out.
    WriteFile(m_data / "files/big-slow.bin", std::string(1 << 20, 'x'));
    RawTlsConnection downloading(m_port, m_service->Tls().caCertificate);
    ASSERT_TRUE(downloading.Send("GET /f/big-slow.bin HTTP/1.1\r\nHost: localhost\r\n\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const auto start = std::chrono::steady_clock::now();
    Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(idle.ReadUntil(), "");
    EXPECT_TRUE(Records().ConfigRequests().empty());
}

}  // namespace
}  // namespace tessary::service
