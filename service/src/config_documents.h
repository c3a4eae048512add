#pragma once
// Picks the configuration document a request gets, from the files in the service's configs folder:
// <tag>.json is the document for clients whose file-name tag is <tag>, default.json for everyone
// else. <name>.status, when present, holds the statuses to answer that document's requests with
// (status_file.h).
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace tessary::service {

struct ConfigAnswer {
    std::string document;  // the name of the files used ("default" or the tag)
    int status = 200;
    std::string body;  // empty when there is no <name>.json
};

class ConfigDocuments {
public:
    explicit ConfigDocuments(std::filesystem::path folder);

    ConfigAnswer Choose(const std::string& tag);

private:
    int NextStatus(const std::string& document);

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    std::map<std::string, std::size_t> m_requestsAnswered;
};

// Tags are used as file names: only letters, digits, "-" and "_" are taken, so a request can never
// reach outside the configs folder.
bool IsUsableTag(const std::string& tag);

}  // namespace tessary::service
