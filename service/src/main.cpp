// tessary-service: the stand-in for the remote service the wizard talks to, for tests and the demo.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <exception>
#include <fstream>
#include <iostream>
#include <thread>

#include "file_utils.h"
#include "record_listing.h"
#include "service.h"
#include "service_options.h"

namespace {

using namespace tessary::service;

// Removes the pid file on every way out, as long as it is still ours.
class PidFile {
public:
    explicit PidFile(std::optional<std::filesystem::path> file) : m_file(std::move(file)) {
        if (m_file) WriteFileAtomically(*m_file, std::to_string(::getpid()) + "\n");
    }
    ~PidFile() {
        if (m_file && ReadWholeFile(*m_file) == std::to_string(::getpid()) + "\n") {
            std::error_code ignored;
            std::filesystem::remove(*m_file, ignored);
        }
    }
    PidFile(const PidFile&) = delete;
    PidFile& operator=(const PidFile&) = delete;

private:
    std::optional<std::filesystem::path> m_file;
};

int Serve(const ServiceOptions& options) {
    // Signals are taken by sigwait on this thread only; the server's threads never see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Service service({options.dataFolder, options.seedFolder});
    const int port = service.Bind(options.port);
    const PidFile pidFile(options.pidFile);
    std::cout << "tessary-service: listening on https://127.0.0.1:" << port << std::endl;
    std::cout << "tessary-service: CA certificate " << service.Tls().caCertificate.string() << std::endl;

    std::thread server([&service] {
        service.Run();
        ::kill(::getpid(), SIGTERM);  // the server ended on its own: wake the waiting thread
    });
    int received = 0;
    sigwait(&stopSignals, &received);
    service.Stop();
    server.join();
    std::cout << "tessary-service: stopped" << std::endl;
    return 0;
}

int List(const ServiceOptions& options) {
    const auto database = DatabaseFile(options.dataFolder);
    if (!std::filesystem::exists(database)) {
        std::cerr << "tessary-service: no records in " << options.dataFolder.string() << "\n";
        return 1;
    }
    RecordStore store(database);
    if (options.command == Command::ListEvents) {
        PrintEvents(store.Events(), std::cout);
    } else {
        PrintConfigRequests(store.ConfigRequests(), std::cout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto options = ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc),
                                                 TESSARY_SERVICE_DEFAULT_DATA, TESSARY_SERVICE_SEED);
        switch (options.command) {
            case Command::Help:
                std::cout << kServiceUsage;
                return 0;
            case Command::Serve:
                return Serve(options);
            case Command::ListEvents:
            case Command::ListRequests:
                return List(options);
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << "tessary-service: " << error.what() << "\n" << kServiceUsage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "tessary-service: " << error.what() << "\n";
        return 1;
    }
    return 1;
}
