#pragma once
// The stand-in service: its data folder, its TLS files, its records and the HTTPS server that
// answers the wizard's three endpoints and lists the records for the tests.
#include <httplib.h>

#include <filesystem>
#include <optional>

#include "config_documents.h"
#include "endpoints.h"
#include "record_store.h"
#include "tls_files.h"
#include "tls_front.h"

namespace tessary::service {

struct ServiceSettings {
    std::filesystem::path dataFolder;
    // Copied over the data folder at start (its files win, files only the data folder has stay).
    std::optional<std::filesystem::path> seedFolder;
};

class Service {
public:
    // Prepares the data folder, the TLS files and the database. Throws std::runtime_error.
    explicit Service(const ServiceSettings& settings);

    // Binds 127.0.0.1:port (0: any free port) and returns the port. Throws when it cannot.
    int Bind(int port);
    // Serves until Stop; call after Bind.
    void Run();
    // Safe from any thread, also before Run has started (Run then returns at once).
    void Stop();

    const TlsFiles& Tls() const { return m_tls; }

private:
    TlsFiles m_tls;
    RecordStore m_store;
    ConfigDocuments m_documents;
    ConfigEndpoint m_config;
    AnalyticsEndpoint m_analytics;
    FileHost m_files;
    RecordsEndpoint m_records;
    // The clients talk TLS to the front; the front hands their requests to this plain HTTP server on
    // an internal loopback port.
    TlsFront m_front;
    httplib::Server m_http;
    int m_httpPort = 0;
};

// Where the service keeps each thing inside its data folder.
std::filesystem::path ConfigsFolder(const std::filesystem::path& data);
std::filesystem::path FilesFolder(const std::filesystem::path& data);
std::filesystem::path TlsFolder(const std::filesystem::path& data);
std::filesystem::path DatabaseFile(const std::filesystem::path& data);
// The statuses to answer events with in turn (status_file.h); absent, every event gets 200.
std::filesystem::path EventsStatusFile(const std::filesystem::path& data);

}  // namespace tessary::service
