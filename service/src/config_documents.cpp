#include "config_documents.h"

#include <algorithm>
#include <cctype>

#include "file_utils.h"
#include "status_file.h"

namespace tessary::service {

bool IsUsableTag(const std::string& tag) {
    return !tag.empty() && tag.size() <= 64 && std::all_of(tag.begin(), tag.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '_';
    });
}

ConfigDocuments::ConfigDocuments(std::filesystem::path folder) : m_folder(std::move(folder)) {}

ConfigAnswer ConfigDocuments::Choose(const std::string& tag) {
    std::string document = "default";
    if (IsUsableTag(tag) &&
        (std::filesystem::exists(m_folder / (tag + ".json")) || std::filesystem::exists(m_folder / (tag + ".status")))) {
        document = tag;
    }
    ConfigAnswer answer;
    answer.document = document;
    answer.status = NextStatus(document);
    answer.body = ReadWholeFile(m_folder / (document + ".json")).value_or(std::string());
    return answer;
}

int ConfigDocuments::NextStatus(const std::string& document) {
    const auto statuses = ReadStatuses(m_folder / (document + ".status"));
    std::lock_guard lock(m_mutex);
    return StatusInTurn(statuses, m_requestsAnswered[document]++);
}

}  // namespace tessary::service
