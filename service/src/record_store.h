#pragma once
// What the service received, in SQLite, so tests and the demo can show it after the fact.
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessary::service {

struct EventRecord {
    std::string received;       // UTC time
    std::string authorization;  // the whole header, "Signature=" and the digest
    std::string table;
    std::string data;     // the serialised event exactly as sent
    std::string code;     // member "6" of the event
    std::string package;  // member "5" of the event
    std::string headers;  // JSON object: header name -> value, in the order received
    int status = 200;     // what the service answered
};

struct ConfigRequestRecord {
    std::string received;
    std::string headers;  // JSON object: header name -> value, as received
    std::string body;
    std::string tag;       // the request's "u", empty when the body had none
    std::string document;  // name of the document answered, empty when refused
    int status = 0;
};

class RecordStore {
public:
    // Opens or creates the database. Throws std::runtime_error when it cannot.
    explicit RecordStore(const std::filesystem::path& file);

    // Stores the event and one row per member of its decoded object (strings as they are,
    // other values as compact JSON).
    void AddEvent(const EventRecord& event, const nlohmann::json& fields);
    void AddConfigRequest(const ConfigRequestRecord& request);

    // The events in the order received; with since, only those received at that UTC time (in
    // the form of UtcTimestamp) or later.
    std::vector<EventRecord> Events(const std::string& since = {});
    std::vector<ConfigRequestRecord> ConfigRequests();

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    void Execute(const char* sql);
    bool HasColumn(const char* table, const std::string& column);

    std::mutex m_mutex;  // one connection, shared by the server's worker threads
    std::unique_ptr<sqlite3, Closer> m_db;
};

// The text a decoded member is stored and listed as.
std::string FieldText(const nlohmann::json& value);

}  // namespace tessary::service
