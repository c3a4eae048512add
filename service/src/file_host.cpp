#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "endpoints.h"
#include "file_utils.h"
#include "http_helpers.h"

namespace tessary::service {
namespace {

std::string ContentType(const std::filesystem::path& file) {
    static const std::map<std::string, std::string> types = {
        {".png", "image/png"},  {".jpg", "image/jpeg"},      {".jpeg", "image/jpeg"},
        {".gif", "image/gif"},  {".bmp", "image/bmp"},       {".json", "application/json"},
        {".txt", "text/plain"}, {".zip", "application/zip"}, {".7z", "application/x-7z-compressed"}};
    const auto found = types.find(file.extension().string());
    return found == types.end() ? "application/octet-stream" : found->second;
}

bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    const auto relative = file.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// A paced file goes out one piece per pause: slow enough for a client to be watched (or closed)
// while it downloads, fast enough for tests.
constexpr std::size_t kPacedPiece = 16 * 1024;
constexpr auto kPacedPause = std::chrono::milliseconds(100);

struct Delivery {
    bool chunked = false;  // no Content-Length: the client cannot know the size
    bool paced = false;
};

// The file's own name says how it goes out, so each test picks what it needs by the file it names.
Delivery DeliveryOf(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return {name.find("-chunked") != std::string::npos, name.find("-slow") != std::string::npos};
}

// Hands out the next piece of bytes from offset: all that is asked for at once, or, paced, one
// piece after a pause. False once the client has gone.
bool WritePiece(const std::string& bytes, std::size_t offset, std::size_t asked, bool paced, httplib::DataSink& sink) {
    const std::size_t size = std::min(asked, paced ? kPacedPiece : asked);
    if (paced) std::this_thread::sleep_for(kPacedPause);
    return sink.is_writable() && sink.write(bytes.data() + offset, size);
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
    const Delivery delivery = DeliveryOf(file);
    LogLine("GET /f/" + name + ": " + std::to_string(bytes->size()) + " bytes" + (delivery.chunked ? ", chunked" : "") +
            (delivery.paced ? ", paced" : ""));
    response.status = 200;
    if (!delivery.chunked && !delivery.paced) {
        response.set_content(*bytes, ContentType(file));
        return;
    }
    const auto content = std::make_shared<const std::string>(std::move(*bytes));
    const bool paced = delivery.paced;
    if (delivery.chunked) {
        response.set_chunked_content_provider(
            ContentType(file), [content, paced](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= content->size()) {
                    sink.done();
                    return true;
                }
                return WritePiece(*content, offset, content->size() - offset, paced, sink);
            });
        return;
    }
    response.set_content_provider(content->size(), ContentType(file),
                                  [content](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      return WritePiece(*content, offset, length, true, sink);
                                  });
}

}  // namespace tessary::service
