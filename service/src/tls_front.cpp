#include "tls_front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "http_helpers.h"
#include "request_stream_filter.h"

namespace tessary::service {
namespace {

constexpr int kHandshakeTimeoutMs = 10'000;
// The HTTP server behind closes idle connections much sooner; this only ends a connection where a
// write has been stuck (a client that stopped reading) or nothing at all happens.
constexpr int kStallTimeoutMs = 60'000;

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using Ssl = std::unique_ptr<SSL, SslFree>;

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Non-blocking, and without delaying small writes: a head and its body often go out separately.
bool PrepareSocket(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    const int noDelay = 1;
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay) == 0;
}

// Waits until fd is ready for events; false on a stop, a timeout or a failure of poll.
bool WaitFor(int fd, short events, int stop, int timeoutMs) {
    pollfd fds[2] = {{fd, events, 0}, {stop, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && fds[1].revents == 0 && fds[0].revents != 0;
    }
}

// After an OpenSSL call that could not finish: waits for what it needs; false for any real failure.
bool WaitForTls(SSL* ssl, int result, int fd, int stop, int timeoutMs) {
    switch (SSL_get_error(ssl, result)) {
        case SSL_ERROR_WANT_READ:
            return WaitFor(fd, POLLIN, stop, timeoutMs);
        case SSL_ERROR_WANT_WRITE:
            return WaitFor(fd, POLLOUT, stop, timeoutMs);
        default:
            return false;
    }
}

bool Handshake(SSL* ssl, int fd, int stop) {
    for (;;) {
        ERR_clear_error();
        const int result = SSL_accept(ssl);
        if (result == 1) return true;
        if (!WaitForTls(ssl, result, fd, stop, kHandshakeTimeoutMs)) return false;
    }
}

bool WriteAllTls(SSL* ssl, int fd, int stop, std::string_view bytes) {
    while (!bytes.empty()) {
        ERR_clear_error();
        // After a retry OpenSSL wants the very same buffer and length again, which is what this passes.
        const int written = SSL_write(ssl, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX)));
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (!WaitForTls(ssl, written, fd, stop, kStallTimeoutMs)) {
            return false;
        }
    }
    return true;
}

bool SendAll(int fd, int stop, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (!(sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, stop, kStallTimeoutMs))) {
            return false;
        }
    }
    return true;
}

Descriptor ConnectToBackend(int port) {
    Descriptor backend(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const auto address = LoopbackAddress(port);
    if (!backend || ::connect(backend.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !PrepareSocket(backend.Get())) {
        return {};
    }
    return backend;
}

// Moves the client's requests (filtered) to the backend and the backend's answers back until the
// backend closes. Returns false when the TLS session broke, so it must not be shut down cleanly.
bool Pump(SSL* ssl, int client, int backend, int stop) {
    RequestStreamFilter filter;
    std::array<char, 16 * 1024> buffer;
    bool clientOpen = true;
    bool tlsWantsWrite = false;
    for (;;) {
        pollfd fds[3] = {{backend, POLLIN, 0}, {stop, POLLIN, 0}, {client, static_cast<short>(tlsWantsWrite ? POLLOUT : POLLIN), 0}};
        const int ready = ::poll(fds, clientOpen ? 3 : 2, kStallTimeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || fds[1].revents != 0) return true;

        if (clientOpen && fds[2].revents != 0) {
            tlsWantsWrite = false;
            // Reads until OpenSSL has nothing left: bytes it already decrypted would not wake poll.
            for (;;) {
                ERR_clear_error();
                const int read = SSL_read(ssl, buffer.data(), static_cast<int>(buffer.size()));
                if (read > 0) {
                    // A backend that stopped reading may still have an answer on its way back.
                    if (!SendAll(backend, stop, filter.Feed({buffer.data(), static_cast<std::size_t>(read)}))) {
                        clientOpen = false;
                        break;
                    }
                    continue;
                }
                const int error = SSL_get_error(ssl, read);
                if (error == SSL_ERROR_WANT_READ) break;
                if (error == SSL_ERROR_WANT_WRITE) {
                    tlsWantsWrite = true;
                    break;
                }
                if (error != SSL_ERROR_ZERO_RETURN) return false;
                // The client has said all it will; the backend answers what it got, then closes.
                ::shutdown(backend, SHUT_WR);
                clientOpen = false;
                break;
            }
        }
        if (fds[0].revents != 0) {
            const ssize_t received = ::recv(backend, buffer.data(), buffer.size(), 0);
            if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
            if (received <= 0) return true;
            if (!WriteAllTls(ssl, client, stop, {buffer.data(), static_cast<std::size_t>(received)})) return false;
        }
    }
}

}  // namespace

TlsFront::TlsFront(const TlsFiles& tls) : m_context(SSL_CTX_new(TLS_server_method())) {
    // A client that hangs up while its answer is being written must not end the service.
    ::signal(SIGPIPE, SIG_IGN);
    SSL_CTX* context = m_context.get();
    if (!context || SSL_CTX_use_certificate_chain_file(context, tls.serverCertificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, tls.serverKey.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context) != 1) {
        throw std::runtime_error("the TLS server cannot use " + tls.serverCertificate.string());
    }
    SSL_CTX_set_options(context, SSL_OP_NO_COMPRESSION);
    int stop[2];
    if (::pipe2(stop, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
    m_stopRead = Descriptor(stop[0]);
    m_stopWrite = Descriptor(stop[1]);
}

int TlsFront::Bind(int port) {
    Descriptor listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    auto address = LoopbackAddress(port);
    socklen_t size = sizeof address;
    const int reuse = 1;
    if (!listener || ::setsockopt(listener.Get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0 ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.Get(), SOMAXCONN) != 0 ||
        ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                                 std::generic_category().message(errno));
    }
    m_listener = std::move(listener);
    return ntohs(address.sin_port);
}

void TlsFront::Run(int backendPort) {
    for (;;) {
        pollfd fds[2] = {{m_listener.Get(), POLLIN, 0}, {m_stopRead.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            LogLine("TLS front: poll failed: " + std::generic_category().message(errno));
            break;
        }
        if (fds[1].revents != 0) break;
        Descriptor client(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client) {
            // Out of descriptors or memory: give the open connections a moment to end.
            if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            continue;
        }
        {
            std::lock_guard lock(m_mutex);
            ++m_connections;
        }
        try {
            std::thread([this, backendPort, client = std::move(client)]() mutable {
                try {
                    Serve(std::move(client), backendPort);
                } catch (const std::exception& error) {
                    LogLine(std::string("TLS front: connection failed: ") + error.what());
                }
                std::lock_guard lock(m_mutex);
                --m_connections;
                m_connectionEnded.notify_all();
            }).detach();
        } catch (const std::system_error& error) {
            LogLine(std::string("TLS front: no thread for a connection: ") + error.what());
            std::lock_guard lock(m_mutex);
            --m_connections;
        }
    }
    std::unique_lock lock(m_mutex);
    m_connectionEnded.wait(lock, [this] { return m_connections == 0; });
}

void TlsFront::Stop() {
    const char byte = 1;
    if (::write(m_stopWrite.Get(), &byte, 1) != 1) LogLine("TLS front: cannot signal the stop");
}

void TlsFront::Serve(Descriptor client, int backendPort) {
    const int stop = m_stopRead.Get();
    Ssl ssl(SSL_new(m_context.get()));
    // Failed handshakes are not logged: the start script's readiness check connects and leaves at once.
    if (!ssl || !PrepareSocket(client.Get()) || SSL_set_fd(ssl.get(), client.Get()) != 1 ||
        !Handshake(ssl.get(), client.Get(), stop)) {
        return;
    }
    const Descriptor backend = ConnectToBackend(backendPort);
    if (!backend) {
        LogLine("TLS front: cannot reach the HTTP server on port " + std::to_string(backendPort));
        return;
    }
    if (Pump(ssl.get(), client.Get(), backend.Get(), stop)) {
        ERR_clear_error();
        SSL_shutdown(ssl.get());  // best effort: the client may already be gone
    }
}

}  // namespace tessary::service
