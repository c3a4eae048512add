#include "service_options.h"

#include <charconv>
#include <stdexcept>

namespace tessary::service {

const char* const kServiceUsage =
    "usage: tessary-service [serve] [--port N] [--data DIR] [--seed DIR | --no-seed] [--pidfile FILE]\n"
    "       tessary-service list [--data DIR]            events received on /zbd\n"
    "       tessary-service list-requests [--data DIR]   configuration requests received on /o\n"
    "Serves HTTPS on 127.0.0.1 (port 443 unless told; 0 picks a free port and prints it).\n";

namespace {

int ParsePort(const std::string& text) {
    int port = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 0 || port > 65535) {
        throw std::invalid_argument("not a port number: " + text);
    }
    return port;
}

}  // namespace

ServiceOptions ParseServiceOptions(const std::vector<std::string>& arguments, const std::filesystem::path& defaultData,
                                   const std::filesystem::path& defaultSeed) {
    ServiceOptions options;
    options.dataFolder = defaultData;
    options.seedFolder = defaultSeed;
    std::size_t i = 0;
    if (i < arguments.size() && !arguments[i].starts_with("-")) {
        const std::string& command = arguments[i++];
        if (command == "serve") {
            options.command = Command::Serve;
        } else if (command == "list") {
            options.command = Command::ListEvents;
        } else if (command == "list-requests") {
            options.command = Command::ListRequests;
        } else {
            throw std::invalid_argument("unknown command: " + command);
        }
    }
    const auto value = [&](const std::string& option) -> const std::string& {
        if (i + 1 >= arguments.size()) throw std::invalid_argument(option + " needs a value");
        return arguments[++i];
    };
    const auto serveOnly = [&](const std::string& option) {
        if (options.command != Command::Serve) throw std::invalid_argument(option + " only applies to serve");
    };
    for (; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--data") {
            options.dataFolder = value(option);
        } else if (option == "--port") {
            serveOnly(option);
            options.port = ParsePort(value(option));
        } else if (option == "--seed") {
            serveOnly(option);
            options.seedFolder = value(option);
        } else if (option == "--no-seed") {
            serveOnly(option);
            options.seedFolder.reset();
        } else if (option == "--pidfile") {
            serveOnly(option);
            options.pidFile = value(option);
        } else if (option == "--help" || option == "-h") {
            options.command = Command::Help;
        } else {
            throw std::invalid_argument("unknown option: " + option);
        }
    }
    return options;
}

}  // namespace tessary::service
