#pragma once
// The three endpoints the wizard calls: the configuration endpoint, the analytics endpoint and the
// file host.
#include <httplib.h>

#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "config_documents.h"
#include "record_store.h"

namespace tessary::service {

class ConfigEndpoint {
public:
    ConfigEndpoint(ConfigDocuments& documents, RecordStore& store) : m_documents(documents), m_store(store) {}
    void Handle(const httplib::Request& request, httplib::Response& response);

private:
    ConfigDocuments& m_documents;
    RecordStore& m_store;
};

// Stores every event whose signature matches it and whose table is "zb_analytics", and refuses the
// rest. statusFile, when present, holds the statuses to answer the events with in turn
// (status_file.h); events answered with a failing status are stored too, with that status.
class AnalyticsEndpoint {
public:
    AnalyticsEndpoint(RecordStore& store, std::filesystem::path statusFile);
    void Handle(const httplib::Request& request, httplib::Response& response);

private:
    int NextStatus();

    RecordStore& m_store;
    std::filesystem::path m_statusFile;
    std::mutex m_mutex;
    std::size_t m_eventsAnswered = 0;
};

// "Signature=" and the lowercase hexadecimal SHA-256 of the event's members "1" (the machine) and
// "2" (the session), as the wizard signs; empty when either is not a string.
std::string EventSignature(const nlohmann::json& event);

// Serves the files of its folder. A file whose name holds "-chunked" goes out in chunks without a
// Content-Length; one whose name holds "-slow" goes out in 16 KiB pieces, one every 100 ms.
class FileHost {
public:
    explicit FileHost(std::filesystem::path folder);
    // name is the part of the path after "/f/", already percent-decoded.
    void Handle(const httplib::Request& request, httplib::Response& response, const std::string& name);

private:
    std::filesystem::path m_folder;
};

// What the service recorded, for tests that run where the list command cannot (under Wine): GET
// with "since" (a UTC time as the records carry it) answers the events received from then on, in
// the list command's format (record_listing.h); without it, every event.
class RecordsEndpoint {
public:
    explicit RecordsEndpoint(RecordStore& store) : m_store(store) {}
    void HandleEvents(const httplib::Request& request, httplib::Response& response);

private:
    RecordStore& m_store;
};

// A file name the file host may serve: relative, "/"-separated, no empty, "." or ".." segment, no
// backslash or NUL.
bool IsSafeFileName(const std::string& name);

}  // namespace tessary::service
