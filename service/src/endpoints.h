#pragma once
// The three endpoints the wizard calls: the configuration endpoint, the analytics endpoint and the
// file host.
#include <httplib.h>

#include <filesystem>

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

class AnalyticsEndpoint {
public:
    explicit AnalyticsEndpoint(RecordStore& store) : m_store(store) {}
    void Handle(const httplib::Request& request, httplib::Response& response);

private:
    RecordStore& m_store;
};

class FileHost {
public:
    explicit FileHost(std::filesystem::path folder);
    // name is the part of the path after "/f/", already percent-decoded.
    void Handle(const httplib::Request& request, httplib::Response& response, const std::string& name);

private:
    std::filesystem::path m_folder;
};

// A file name the file host may serve: relative, "/"-separated, no empty, "." or ".." segment, no
// backslash or NUL.
bool IsSafeFileName(const std::string& name);

}  // namespace tessary::service
