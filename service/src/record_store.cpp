#include "record_store.h"

#include <stdexcept>
#include <string_view>

namespace tessary::service {
namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS events (
    id INTEGER PRIMARY KEY,
    received TEXT NOT NULL,
    authorization TEXT NOT NULL,
    table_name TEXT NOT NULL,
    data TEXT NOT NULL,
    code TEXT NOT NULL,
    package TEXT NOT NULL,
    headers TEXT NOT NULL DEFAULT '',
    status INTEGER NOT NULL DEFAULT 200
);
CREATE TABLE IF NOT EXISTS event_fields (
    event_id INTEGER NOT NULL REFERENCES events(id),
    key TEXT NOT NULL,
    value TEXT NOT NULL,
    PRIMARY KEY (event_id, key)
);
CREATE TABLE IF NOT EXISTS config_requests (
    id INTEGER PRIMARY KEY,
    received TEXT NOT NULL,
    headers TEXT NOT NULL,
    body TEXT NOT NULL,
    tag TEXT NOT NULL,
    document TEXT NOT NULL,
    status INTEGER NOT NULL
);
)sql";

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) Fail(db, "preparing a statement");
    return Statement(raw);
}

void Bind(sqlite3* db, sqlite3_stmt* statement, int index, const std::string& text) {
    if (sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK) {
        Fail(db, "binding a value");
    }
}

void StepToDone(sqlite3* db, sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE) Fail(db, "writing a record");
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

}  // namespace

std::string FieldText(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

RecordStore::RecordStore(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    const int result = sqlite3_open(file.c_str(), &raw);
    m_db.reset(raw);
    if (result != SQLITE_OK) Fail(raw, "opening " + file.string());
    // The list commands read while the service writes.
    sqlite3_busy_timeout(m_db.get(), 5000);
    Execute(kSchema);
    // A database from before events kept their headers and status gets the columns, its old
    // events the defaults.
    for (const char* column : {"headers TEXT NOT NULL DEFAULT ''", "status INTEGER NOT NULL DEFAULT 200"}) {
        const std::string name(column, std::string_view(column).find(' '));
        if (!HasColumn("events", name)) Execute(("ALTER TABLE events ADD COLUMN " + std::string(column)).c_str());
    }
}

bool RecordStore::HasColumn(const char* table, const std::string& column) {
    auto info = Prepare(m_db.get(), ("PRAGMA table_info(" + std::string(table) + ")").c_str());
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        if (ColumnText(info.get(), 1) == column) return true;
    }
    return false;
}

void RecordStore::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error("database: " + text);
    }
}

void RecordStore::AddEvent(const EventRecord& event, const nlohmann::json& fields) {
    std::lock_guard lock(m_mutex);
    sqlite3* db = m_db.get();
    Execute("BEGIN");
    try {
        auto insert = Prepare(db,
                              "INSERT INTO events (received, authorization, table_name, data, code, package, headers, "
                              "status) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        int index = 0;
        for (const auto* value : {&event.received, &event.authorization, &event.table, &event.data, &event.code,
                                  &event.package, &event.headers}) {
            Bind(db, insert.get(), ++index, *value);
        }
        sqlite3_bind_int(insert.get(), ++index, event.status);
        StepToDone(db, insert.get());
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);

        auto field = Prepare(db, "INSERT INTO event_fields (event_id, key, value) VALUES (?, ?, ?)");
        for (const auto& [key, value] : fields.items()) {
            sqlite3_reset(field.get());
            sqlite3_bind_int64(field.get(), 1, id);
            Bind(db, field.get(), 2, key);
            Bind(db, field.get(), 3, FieldText(value));
            StepToDone(db, field.get());
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void RecordStore::AddConfigRequest(const ConfigRequestRecord& request) {
    std::lock_guard lock(m_mutex);
    sqlite3* db = m_db.get();
    auto insert = Prepare(db,
                          "INSERT INTO config_requests (received, headers, body, tag, document, status) "
                          "VALUES (?, ?, ?, ?, ?, ?)");
    Bind(db, insert.get(), 1, request.received);
    Bind(db, insert.get(), 2, request.headers);
    Bind(db, insert.get(), 3, request.body);
    Bind(db, insert.get(), 4, request.tag);
    Bind(db, insert.get(), 5, request.document);
    sqlite3_bind_int(insert.get(), 6, request.status);
    StepToDone(db, insert.get());
}

std::vector<EventRecord> RecordStore::Events(const std::string& since) {
    std::lock_guard lock(m_mutex);
    // The timestamps are fixed-width ISO 8601, so they compare as text.
    auto select = Prepare(m_db.get(),
                          "SELECT received, authorization, table_name, data, code, package, headers, status "
                          "FROM events WHERE received >= ? ORDER BY id");
    Bind(m_db.get(), select.get(), 1, since);
    std::vector<EventRecord> events;
    while (sqlite3_step(select.get()) == SQLITE_ROW) {
        events.push_back({ColumnText(select.get(), 0), ColumnText(select.get(), 1), ColumnText(select.get(), 2),
                          ColumnText(select.get(), 3), ColumnText(select.get(), 4), ColumnText(select.get(), 5),
                          ColumnText(select.get(), 6), sqlite3_column_int(select.get(), 7)});
    }
    return events;
}

std::vector<ConfigRequestRecord> RecordStore::ConfigRequests() {
    std::lock_guard lock(m_mutex);
    auto select =
        Prepare(m_db.get(), "SELECT received, headers, body, tag, document, status FROM config_requests ORDER BY id");
    std::vector<ConfigRequestRecord> requests;
    while (sqlite3_step(select.get()) == SQLITE_ROW) {
        requests.push_back({ColumnText(select.get(), 0), ColumnText(select.get(), 1), ColumnText(select.get(), 2),
                            ColumnText(select.get(), 3), ColumnText(select.get(), 4),
                            sqlite3_column_int(select.get(), 5)});
    }
    return requests;
}

}  // namespace tessary::service
