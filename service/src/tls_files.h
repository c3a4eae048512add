#pragma once
// The service's own certificate authority and the server certificate it signs. The wizard only
// talks TLS to port 443 and checks the chain, so test machines trust this CA instead of a public one.
#include <filesystem>

namespace tessary::service {

struct TlsFiles {
    std::filesystem::path caCertificate;     // PEM
    std::filesystem::path caCertificateDer;  // the same certificate as DER, for the Windows certificate store
    std::filesystem::path serverCertificate;  // PEM, for "localhost" and 127.0.0.1
    std::filesystem::path serverKey;          // PEM
};

// Makes the CA and the server certificate in folder on first use and keeps them afterwards. A server
// certificate that is missing, expired or not issued by the CA in the folder is made again.
// Throws std::runtime_error when OpenSSL or the file system fails.
TlsFiles EnsureTlsFiles(const std::filesystem::path& folder);

}  // namespace tessary::service
