#pragma once
// Small file helpers the service's modules share.
#include <filesystem>
#include <optional>
#include <string>

namespace tessary::service {

// The whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Writes through a temporary file and a rename, so a reader or a crash never sees half a file.
// The permissions are set before the content goes in (private keys stay private). Throws on failure.
void WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes,
                         std::filesystem::perms permissions = std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write |
                                                              std::filesystem::perms::group_read |
                                                              std::filesystem::perms::others_read);

// The current time as UTC ISO 8601 with milliseconds ("2024-05-01T12:00:00.123Z").
std::string UtcTimestamp();

}  // namespace tessary::service
