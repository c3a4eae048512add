#include "service.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "http_helpers.h"

namespace tessary::service {
namespace {

// Only ever on the loopback interface: this service exists for tests and the demo.
constexpr const char* kAddress = "127.0.0.1";

const std::filesystem::path& PreparedDataFolder(const ServiceSettings& settings) {
    std::filesystem::create_directories(settings.dataFolder);
    if (settings.seedFolder) {
        std::filesystem::copy(
            *settings.seedFolder, settings.dataFolder,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::create_directories(ConfigsFolder(settings.dataFolder));
    std::filesystem::create_directories(FilesFolder(settings.dataFolder));
    return settings.dataFolder;
}

}  // namespace

std::filesystem::path ConfigsFolder(const std::filesystem::path& data) { return data / "configs"; }
std::filesystem::path FilesFolder(const std::filesystem::path& data) { return data / "files"; }
std::filesystem::path TlsFolder(const std::filesystem::path& data) { return data / "tls"; }
std::filesystem::path DatabaseFile(const std::filesystem::path& data) { return data / "events.db"; }
std::filesystem::path EventsStatusFile(const std::filesystem::path& data) { return data / "events.status"; }

Service::Service(const ServiceSettings& settings)
    : m_tls(EnsureTlsFiles(TlsFolder(PreparedDataFolder(settings)))),
      m_store(DatabaseFile(settings.dataFolder)),
      m_documents(ConfigsFolder(settings.dataFolder)),
      m_config(m_documents, m_store),
      m_analytics(m_store, EventsStatusFile(settings.dataFolder)),
      m_files(FilesFolder(settings.dataFolder)),
      m_records(m_store),
      m_front(m_tls) {
    // The answers pass through the front on loopback, where a held-back small write waits for a
    // delayed acknowledgement: tens of milliseconds per request.
    m_http.set_tcp_nodelay(true);
    // The wizard retries after pausing 5 s (and pauses 1.5 s between offers), and the HTTP client
    // under Wine reuses a kept connection without trying again when it breaks under it. Idle
    // connections must therefore close well before or well after such a pause, never just at its
    // end as with the library's 5 s default: a retry would then be lost to the race.
    m_http.set_keep_alive_timeout(3);
    // A handler that fails (the database, a file) must not take the service down.
    m_http.set_exception_handler(
        [](const httplib::Request& request, httplib::Response& response, std::exception_ptr failure) {
            std::string what = "unknown error";
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& error) {
                what = error.what();
            } catch (...) {
            }
            LogLine("failed " + request.method + " " + request.path + ": " + what);
            response.status = 500;
            response.set_content("internal error\n", "text/plain");
        });
    m_http.Post("/o", [this](const httplib::Request& request, httplib::Response& response) {
        m_config.Handle(request, response);
    });
    m_http.Post("/zbd", [this](const httplib::Request& request, httplib::Response& response) {
        m_analytics.Handle(request, response);
    });
    m_http.Get(R"(/f/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
        m_files.Handle(request, response, request.matches[1].str());
    });
    m_http.Get("/records/events", [this](const httplib::Request& request, httplib::Response& response) {
        m_records.HandleEvents(request, response);
    });
}

int Service::Bind(int port) {
    m_httpPort = m_http.bind_to_any_port(kAddress);
    if (m_httpPort <= 0) throw std::runtime_error("cannot listen on an internal port of " + std::string(kAddress));
    return m_front.Bind(port);
}

void Service::Run() {
    std::atomic<bool> httpFinished = false;
    std::thread http([this, &httpFinished] {
        m_http.listen_after_bind();
        httpFinished = true;
    });
    m_front.Run(m_httpPort);
    // The library ignores a stop that comes before its accept loop is up, so wait for it.
    while (!m_http.is_running() && !httpFinished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_http.stop();
    http.join();
}

void Service::Stop() { m_front.Stop(); }

}  // namespace tessary::service
