#include "service.h"

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
        std::filesystem::copy(*settings.seedFolder, settings.dataFolder,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
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

Service::Service(const ServiceSettings& settings)
    : m_tls(EnsureTlsFiles(TlsFolder(PreparedDataFolder(settings)))),
      m_store(DatabaseFile(settings.dataFolder)),
      m_documents(ConfigsFolder(settings.dataFolder)),
      m_config(m_documents, m_store),
      m_analytics(m_store),
      m_files(FilesFolder(settings.dataFolder)),
      m_server(std::make_unique<httplib::SSLServer>(m_tls.serverCertificate.c_str(), m_tls.serverKey.c_str())) {
    if (!m_server->is_valid()) throw std::runtime_error("the TLS server cannot use " + m_tls.serverCertificate.string());

    // A handler that fails (the database, a file) must not take the service down.
    m_server->set_exception_handler(
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
    m_server->Post("/o", [this](const httplib::Request& request, httplib::Response& response) {
        m_config.Handle(request, response);
    });
    m_server->Post("/zbd", [this](const httplib::Request& request, httplib::Response& response) {
        m_analytics.Handle(request, response);
    });
    m_server->Get(R"(/f/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
        m_files.Handle(request, response, request.matches[1].str());
    });
}

int Service::Bind(int port) {
    if (port == 0) {
        const int bound = m_server->bind_to_any_port(kAddress);
        if (bound > 0) return bound;
    } else if (m_server->bind_to_port(kAddress, port)) {
        return port;
    }
    throw std::runtime_error("cannot listen on " + std::string(kAddress) + ":" + std::to_string(port));
}

void Service::Run() {
    {
        std::lock_guard lock(m_runMutex);
        if (m_stopRequested) return;
        m_runStarted = true;
    }
    m_server->listen_after_bind();
    m_runFinished = true;
}

void Service::Stop() {
    {
        std::lock_guard lock(m_runMutex);
        m_stopRequested = true;
        if (!m_runStarted) return;
    }
    // The library ignores a stop that comes before its accept loop is up, so wait for it.
    while (!m_server->is_running() && !m_runFinished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_server->stop();
}

}  // namespace tessary::service
