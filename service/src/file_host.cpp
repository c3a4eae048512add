#include <map>

#include "endpoints.h"
#include "file_utils.h"
#include "http_helpers.h"

namespace tessary::service {
namespace {

std::string ContentType(const std::filesystem::path& file) {
    static const std::map<std::string, std::string> types = {
        {".png", "image/png"},        {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".gif", "image/gif"},
        {".bmp", "image/bmp"},        {".json", "application/json"}, {".txt", "text/plain"},
        {".zip", "application/zip"}, {".7z", "application/x-7z-compressed"}};
    const auto found = types.find(file.extension().string());
    return found == types.end() ? "application/octet-stream" : found->second;
}

bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const auto relative = file.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

bool IsSafeFileName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = name.find('/', start);
        const std::string segment = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (segment.empty() || segment == "." || segment == "..") return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

FileHost::FileHost(std::filesystem::path folder) : m_folder(std::move(folder)) {}

void FileHost::Handle(const httplib::Request& request, httplib::Response& response, const std::string& name) {
    if (!IsSafeFileName(name)) {
        Refuse(request, response, "not a plain file name");
        return;
    }
    // A symbolic link inside the folder must not lead out of it either.
    std::error_code error;
    const auto folder = std::filesystem::weakly_canonical(m_folder, error);
    const auto file = std::filesystem::weakly_canonical(m_folder / name, error);
    const auto bytes = !error && IsInside(file, folder) && std::filesystem::is_regular_file(file, error)
                           ? ReadWholeFile(file)
                           : std::nullopt;
    if (!bytes) {
        LogLine("GET /f/" + name + ": not found");
        response.status = 404;
        response.set_content("not found\n", "text/plain");
        return;
    }
    LogLine("GET /f/" + name + ": " + std::to_string(bytes->size()) + " bytes");
    response.status = 200;
    response.set_content(*bytes, ContentType(file));
}

}  // namespace tessary::service
