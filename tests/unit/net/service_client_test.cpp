#include <gtest/gtest.h>

#include <optional>

#include "config/build_constants.h"
#include "config/configuration_manager.h"
#include "config/signed_request.h"
#include "fake_ports.h"
#include "net/api_manager.h"
#include "net/configuration_request.h"
#include "net/post_json.h"
#include "net/tessary_exception.h"

namespace tessary {
namespace {

using testing::FakeHttp;
using testing::FakePorts;
using testing::W;

constexpr char kMachineGuid[] = "6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93";

// The TessaryException a call throws, to look at what it kept; none when it throws nothing.
template <typename Call>
std::optional<TessaryException> ThrownBy(Call&& call) {
    try {
        call();
    } catch (const TessaryException& error) {
        return error;
    }
    return std::nullopt;
}

// The fakes with a known machine, and a configuration of our own so that the process-wide one
// stays untouched.
class ServiceClient : public ::testing::Test {
protected:
    ServiceClient() {
        ports.registry->SetString(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Cryptography",
                                  L"MachineGuid", W(kMachineGuid));
        ports.module->moduleFileName = L"C:\\x\\Setup_ab1-x2z.exe";
        config.m_configUrl = L"https://service.test/o";
        config.m_brand = L"Veloran";
        config.m_clientId = L"Veloran_DLM";
        config.m_sourceId = L"Veloran_3cpp";
        config.m_version = L"3.2.4.2137";
        config.m_localeName = L"en-US";
    }

    std::unique_ptr<nlohmann::json> Request() { return ApiManager::GetInstance()->RequestConfiguration(config); }
    // The time paused, whatever the steps it was paused in.
    unsigned SleptMs() const {
        unsigned total = 0;
        for (const unsigned ms : ports.clock->Sleeps()) total += ms;
        return total;
    }

    FakePorts ports;
    ConfigurationManager config{CompiledBuildConstants()};
};

// --- PostJson -------------------------------------------------------------------------------

TEST_F(ServiceClient, PostJsonSendsToHostAndPathOnly) {
    ports.http->Queue({true, 201, "ok"});
    std::string response;
    unsigned long status = 0;
    const platform::HeaderList headers{{L"Authorization", L"Signature=x"}};
    EXPECT_TRUE(PostJson(L"https://service.test/zbd?x=1#frag", "{}", headers, response, status));
    EXPECT_EQ(status, 201u);
    EXPECT_EQ(response, "ok");

    // Scheme and port are not ours to choose: the request still goes out over TLS to 443.
    PostJson(L"http://service.test:8443/o", "{\"a\":1}", {}, response, status);

    const auto calls = ports.http->Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].host, L"service.test");
    EXPECT_EQ(calls[0].path, L"/zbd");
    EXPECT_EQ(calls[0].body, "{}");
    EXPECT_EQ(calls[0].headers, headers);
    EXPECT_EQ(calls[1].host, L"service.test");
    EXPECT_EQ(calls[1].path, L"/o");
    EXPECT_TRUE(calls[1].headers.empty());
}

TEST_F(ServiceClient, PostJsonThrowsWhenNothingCanBeSent) {
    std::string response;
    unsigned long status = 0;

    ports.system->osVersion = platform::OsVersion{6, 1, 7600};
    ports.system->servicePack = 0;
    EXPECT_THROW(PostJson(L"https://service.test/o", "{}", {}, response, status), TessaryException);
    EXPECT_TRUE(ports.http->Calls().empty());

    ports.system->servicePack = 1;
    EXPECT_TRUE(PostJson(L"https://service.test/o", "{}", {}, response, status));
    ports.system->osVersion = platform::OsVersion{6, 0, 6002};
    ports.system->servicePack = 0;
    EXPECT_TRUE(PostJson(L"https://service.test/o", "{}", {}, response, status));

    const auto notAUrl = ThrownBy([&] { PostJson(L"not a url", "{}", {}, response, status); });
    ASSERT_TRUE(notAUrl);
    EXPECT_EQ(notAUrl->SystemStatus(), 12006u);  // ERROR_WINHTTP_UNRECOGNIZED_SCHEME, from the fake
    EXPECT_EQ(ports.http->Calls().size(), 2u);

    ports.http->Queue({false, 0, ""});
    const auto unreachable = ThrownBy([&] { PostJson(L"https://service.test/o", "{}", {}, response, status); });
    ASSERT_TRUE(unreachable);
    EXPECT_EQ(unreachable->SystemStatus(), ports.http->transportFailure);
    EXPECT_EQ(unreachable->HttpStatus(), 0u) << "no answer arrived";

    // A refusal is an answer: the caller gets it with its status to judge, not an exception.
    ports.http->Queue({true, 503, ""});
    EXPECT_TRUE(PostJson(L"https://service.test/o", "{}", {}, response, status));
    EXPECT_EQ(status, 503u);
}

// --- SignedRequest --------------------------------------------------------------------------

TEST_F(ServiceClient, SignedRequestBodyHoldsTheTemplateInKeyOrder) {
    config.m_configCfl = L"cfl-1";
    config.m_configCh = L"ch-2";
    config.m_productTitle = L"Veloran Player";

    const SignedRequest request(config);

    EXPECT_EQ(request.Body().dump(),
              R"({"0":"","1":"6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93","10":"","11":"","12":"","13":"","14":"",)"
              R"("15":0,"16":"","17":"","18":"","19":"cfl-1","2":"20251209080000","20":"","21":"ch-2",)"
              R"("22":"Veloran Player","3":"Veloran","31":"10.0.19045","38":"0","4":"Veloran_DLM","5":"",)"
              R"("6":"","7":"3.2.4.2137","8":"","9":""})");
    EXPECT_TRUE(request.Body()["15"].is_number_integer());
}

TEST_F(ServiceClient, SignedRequestTakesAnsiTextsAndTheWow64Flag) {
    ports.system->wow64 = true;
    config.m_productTitle = W("Café");
    config.m_brand = W("Brånd");

    const SignedRequest request(config);

    EXPECT_EQ(request.Body()["38"], "1");
    EXPECT_EQ(request.Body()["22"], "Caf\xE9");
    EXPECT_EQ(request.Body()["3"], "Br\xE5nd");

    ports.system->wow64Failure = 6;  // ERROR_INVALID_HANDLE
    EXPECT_EQ(SignedRequest(config).Body()["38"], "0") << "a system that cannot tell is not WOW64";
}

TEST_F(ServiceClient, AFailingHashLeavesTheRequestUnsignedWithItsBodyAndSaysWhy) {
    ports.crypto->failure = 0x80090017;  // NTE_PROV_TYPE_NOT_DEF
    std::optional<SignedRequest> request;
    ASSERT_NO_THROW(request.emplace(config));
    EXPECT_FALSE(request->IsSigned());
    EXPECT_TRUE(request->Headers().empty()) << "no signature over nothing, no made-up one";
    EXPECT_EQ(request->Body()["1"], "6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93");
    // Every event of the run will be dropped; the status says why.
    EXPECT_EQ(ports.diagnostics->Texts(platform::DiagnosticTarget::Debugger),
              std::vector<std::string>{"Signing the event reports failed: 2148073495"});

    ports.crypto->failure = 0;
    EXPECT_TRUE(SignedRequest(config).IsSigned());
}

TEST_F(ServiceClient, EveryRequestOfARunCarriesTheSameSignature) {
    const SignedRequest first(config);
    ports.clock->Advance(90'000);
    config.m_productTitle = L"changed";
    const SignedRequest second(config);

    const platform::HeaderList expected{
        {L"Authorization", L"Signature=a4a523b84264b72f45ad561132583f72815f43086e0967eca8ecb0e33d21f92c"}};
    EXPECT_EQ(first.Headers(), expected);
    EXPECT_EQ(second.Headers(), expected);
    EXPECT_EQ(second.Body()["2"], "20251209080000");
}

// The texts are only what the requests say about the client: without them both still go out, the
// event request signed.
TEST_F(ServiceClient, TextsTheSystemCannotConvertGoOutEmpty) {
    ports.text->toNarrowFails = true;

    const SignedRequest request(config);
    EXPECT_TRUE(request.IsSigned());
    EXPECT_EQ(request.Body()["3"], "");
    EXPECT_EQ(request.Body()["22"], "");
    EXPECT_EQ(request.Body()["1"], "6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93");

    const auto body = BuildConfigurationRequest(config);
    EXPECT_EQ(body["a"], "");
    EXPECT_EQ(body["u"], "");
    EXPECT_EQ(body["prv"], "0.1");
}

// --- RequestConfiguration -------------------------------------------------------------------

TEST_F(ServiceClient, ConfigurationRequestBodyAndDestination) {
    ports.http->Queue({true, 200, R"({"ok":true})"});

    const auto document = Request();

    ASSERT_TRUE(document);
    EXPECT_EQ(*document, nlohmann::json({{"ok", true}}));
    const auto calls = ports.http->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].host, L"service.test");
    EXPECT_EQ(calls[0].path, L"/o");
    EXPECT_TRUE(calls[0].headers.empty());  // the configuration request is not signed
    EXPECT_EQ(calls[0].body, R"({"a":"Veloran","i":"Veloran_DLM","l":"en","o":"10.0.19045","plv":"3.2.4.2137",)"
                             R"("prv":"0.1","s":"Veloran_3cpp","u":"ab1-x2z"})");
    EXPECT_TRUE(ports.clock->Sleeps().empty());
}

TEST_F(ServiceClient, ConfigurationRequestLanguageIsTheLowercasedStartOfTheLocale) {
    const auto languageSent = [&](const std::wstring& localeName) {
        config.m_localeName = localeName;
        return BuildConfigurationRequest(config)["l"].get<std::string>();
    };
    EXPECT_EQ(languageSent(L"DE-at"), "de");
    EXPECT_EQ(languageSent(L"P"), "p");
    EXPECT_EQ(languageSent(L""), "");
}

TEST_F(ServiceClient, ConfigurationRequestGoesOutWithATagOutsideUtf8) {
    ports.module->moduleFileName = W("C:\\x\\Setup_ab1-x2é.exe");
    ports.http->Queue({true, 200, "{}"});

    Request();

    // The ANSI byte cannot travel in JSON; it is replaced rather than failing the request.
    EXPECT_EQ(nlohmann::json::parse(ports.http->Calls().at(0).body)["u"], "ab1-x2\xEF\xBF\xBD");
}

TEST_F(ServiceClient, ConfigurationRequestWithoutTheProgramPathGoesOutWithoutATag) {
    ports.module->moduleFileNameFailure = 122;  // ERROR_INSUFFICIENT_BUFFER: the path did not fit

    EXPECT_EQ(BuildConfigurationRequest(config)["u"], "");
}

TEST(FileNameTag, IsTheSevenCharactersAfterTheLastUnderscore) {
    EXPECT_EQ(FileNameTag(L"C:\\x\\Setup_ab1-x2z.exe"), L"ab1-x2z");
    EXPECT_EQ(FileNameTag(L"C:\\x\\My_Setup_ab1-x2z.tar.exe"), L"");  // cut at the last "." only
    EXPECT_EQ(FileNameTag(L"C:\\x\\Setup_ab1-x2z"), L"ab1-x2z");
    EXPECT_EQ(FileNameTag(L"C:\\x\\Setup.exe"), L"");
    EXPECT_EQ(FileNameTag(L"C:\\x\\Setup_abc1x2z.exe"), L"");   // no "-"
    EXPECT_EQ(FileNameTag(L"C:\\x\\Setup_ab1-x2zz.exe"), L"");  // eight characters
    // An underscore in a folder counts too; here the text up to the last "." is too long...
    EXPECT_EQ(FileNameTag(L"C:\\a_b1-x2zz\\Setup.exe"), L"");
    // ...and here it happens to be seven characters with a "-".
    EXPECT_EQ(FileNameTag(L"C:\\dl_ab1-x2z.d\\Setup"), L"ab1-x2z");
}

TEST_F(ServiceClient, ConfigurationRetriesUnsuccessfulStatusesWithPauses) {
    ports.http->lastError = 12002;
    ports.http->Queue({true, 500, "garbage"});
    ports.http->Queue({true, 404, ""});
    ports.http->Queue({true, 399, R"({"n":3})"});

    const auto document = Request();

    // Each attempt stands alone: the failed attempt's body is not part of the document.
    EXPECT_EQ(*document, nlohmann::json({{"n", 3}}));
    EXPECT_EQ(ports.http->Calls().size(), 3u);
    EXPECT_EQ(SleptMs(), 10000u);
    EXPECT_EQ(ports.diagnostics->Texts(platform::DiagnosticTarget::StandardOutput),
              (std::vector<std::string>{"Failed to send config request. 500 12002",
                                        "Failed to send config request. 404 12002"}));
}

TEST_F(ServiceClient, ConfigurationAfterThreeFailuresUsesTheLastAnswer) {
    ports.http->Queue({true, 500, ""});
    ports.http->Queue({true, 199, ""});
    ports.http->Queue({true, 503, R"({"n":1})"});

    const auto document = Request();

    EXPECT_EQ(*document, nlohmann::json({{"n", 1}}));
    EXPECT_EQ(SleptMs(), 15000u);
}

TEST_F(ServiceClient, ConfigurationFailures) {
    ports.http->handler = [](const FakeHttp::Call&) { return FakeHttp::Answer{true, 500, ""}; };
    const auto refused = ThrownBy([&] { Request(); });
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->HttpStatus(), 500u) << "the service answered, and refused";
    EXPECT_EQ(refused->SystemStatus(), 0u);
    EXPECT_EQ(ports.http->Calls().size(), 3u);
    EXPECT_EQ(SleptMs(), 15000u);

    // A redirect that reaches us is success, and its empty body the empty-answer error.
    ports.http->Queue({true, 302, ""});
    const auto empty = ThrownBy([&] { Request(); });
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->HttpStatus(), 302u);
    EXPECT_EQ(ports.http->Calls().size(), 4u);
    EXPECT_EQ(SleptMs(), 15000u);

    ports.http->Queue({true, 200, "{\"a\":"});
    EXPECT_THROW(Request(), nlohmann::json::parse_error);
    ports.http->Queue({true, 200, "{} // comment"});
    EXPECT_THROW(Request(), nlohmann::json::parse_error);
    ports.http->Queue({true, 200, "{}{}"});
    EXPECT_THROW(Request(), nlohmann::json::parse_error);
    EXPECT_EQ(ports.http->Calls().size(), 7u);
}

TEST_F(ServiceClient, ConfigurationStopsAtOnceOnATransportFailure) {
    ports.http->Queue({true, 500, ""});
    ports.http->Queue({false, 0, ""});
    const auto afterARefusal = ThrownBy([&] { Request(); });
    ASSERT_TRUE(afterARefusal);
    // The refusal before is not what failed: the exchange that could not be made is.
    EXPECT_EQ(afterARefusal->HttpStatus(), 0u);
    EXPECT_EQ(afterARefusal->SystemStatus(), ports.http->transportFailure);
    EXPECT_EQ(ports.http->Calls().size(), 2u);
    EXPECT_EQ(SleptMs(), 5000u);

    ports.http->Queue({false, 0, ""});
    EXPECT_THROW(Request(), TessaryException);
    EXPECT_EQ(ports.http->Calls().size(), 3u);

    config.m_configUrl.clear();
    const auto noUrl = ThrownBy([&] { Request(); });
    ASSERT_TRUE(noUrl);
    EXPECT_EQ(noUrl->HttpStatus(), 0u);
    EXPECT_EQ(noUrl->SystemStatus(), 0u);
    EXPECT_EQ(ports.http->Calls().size(), 3u);
}

TEST_F(ServiceClient, AConfirmedExitEndsThePauseAndTheAttempts) {
    ports.http->handler = [](const FakeHttp::Call&) { return FakeHttp::Answer{true, 500, ""}; };
    auto api = ApiManager::GetInstance();
    ports.clock->onSleep = [&](unsigned) {
        if (ports.clock->Sleeps().size() == 3) api->m_cancelRequested = true;
    };
    const auto refused = ThrownBy([&] { Request(); });
    api->m_cancelRequested = false;
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->HttpStatus(), 500u);
    EXPECT_EQ(ports.http->Calls().size(), 1u) << "no attempt after the exit";
    EXPECT_EQ(SleptMs(), 300u) << "the pause ends within a step of the exit";
}

TEST(ApiManager, IsOnePerProcess) { EXPECT_EQ(ApiManager::GetInstance(), ApiManager::GetInstance()); }

}  // namespace
}  // namespace tessary
