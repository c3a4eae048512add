#pragma once
// The command line of tessary-service.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tessary::service {

enum class Command { Serve, ListEvents, ListRequests, Help };

struct ServiceOptions {
    Command command = Command::Serve;
    int port = 443;
    std::filesystem::path dataFolder;
    std::optional<std::filesystem::path> seedFolder;
    std::optional<std::filesystem::path> pidFile;
};

// defaultData and defaultSeed are the folders used when the command line names none.
// Throws std::invalid_argument with a message for the user on a bad command line.
ServiceOptions ParseServiceOptions(const std::vector<std::string>& arguments, const std::filesystem::path& defaultData,
                                   const std::filesystem::path& defaultSeed);

extern const char* const kServiceUsage;

}  // namespace tessary::service
