#pragma once
// The service's TLS end. It takes the clients' connections, strips "Expect: 100-continue" from
// their requests (see request_stream_filter.h) and passes each connection on, unencrypted, to the
// HTTP server on an internal loopback port; the answers go back to the client unchanged.
#include <openssl/ssl.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "descriptor.h"
#include "tls_files.h"

namespace tessary::service {

class TlsFront {
public:
    // Throws std::runtime_error when the certificate or the key cannot be used.
    explicit TlsFront(const TlsFiles& tls);

    // Listens on 127.0.0.1:port (0: any free port) and returns the port. Throws when it cannot.
    int Bind(int port);
    // Serves until Stop, each connection on a thread of its own, forwarded to 127.0.0.1:backendPort.
    // Returns once every connection has ended.
    void Run(int backendPort);
    // Safe from any thread, also before Run (Run then returns at once).
    void Stop();

private:
    void Serve(Descriptor client, int backendPort);

    struct ContextFree {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    };
    std::unique_ptr<SSL_CTX, ContextFree> m_context;
    Descriptor m_listener;
    // Written once by Stop and never read, so it stays readable and wakes every wait for good.
    Descriptor m_stopRead;
    Descriptor m_stopWrite;
    std::mutex m_mutex;
    std::condition_variable m_connectionEnded;
    int m_connections = 0;
};

}  // namespace tessary::service
