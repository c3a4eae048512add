#include "tls_files.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "file_utils.h"

namespace tessary::service {
namespace {

template <typename T, void (*Free)(T*)>
struct OpenSslDeleter {
    void operator()(T* object) const { Free(object); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY, EVP_PKEY_free>>;
using CertificatePtr = std::unique_ptr<X509, OpenSslDeleter<X509, X509_free>>;
using ExtensionPtr = std::unique_ptr<X509_EXTENSION, OpenSslDeleter<X509_EXTENSION, X509_EXTENSION_free>>;
using BigNumberPtr = std::unique_ptr<BIGNUM, OpenSslDeleter<BIGNUM, BN_free>>;

struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free_all(bio); }
};
using BioPtr = std::unique_ptr<BIO, BioDeleter>;

constexpr long kDay = 24 * 60 * 60;
constexpr long kCaDays = 3650;
// Short enough for every certificate policy a TLS stack may apply to server certificates.
constexpr long kServerDays = 825;

[[noreturn]] void Fail(const std::string& what) {
    const unsigned long code = ERR_get_error();
    char reason[256] = "no OpenSSL error";
    if (code != 0) ERR_error_string_n(code, reason, sizeof reason);
    throw std::runtime_error(what + ": " + reason);
}

void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

KeyPtr NewRsaKey() {
    KeyPtr key(EVP_RSA_gen(2048));
    Check(key != nullptr, "generating an RSA key");
    return key;
}

std::string BioBytes(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

BioPtr NewMemoryBio() {
    BioPtr bio(BIO_new(BIO_s_mem()));
    Check(bio != nullptr, "allocating a memory buffer");
    return bio;
}

std::string KeyPem(EVP_PKEY* key) {
    auto bio = NewMemoryBio();
    Check(PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1, "writing a key");
    return BioBytes(bio.get());
}

std::string CertificatePem(X509* certificate) {
    auto bio = NewMemoryBio();
    Check(PEM_write_bio_X509(bio.get(), certificate) == 1, "writing a certificate");
    return BioBytes(bio.get());
}

std::string CertificateDer(X509* certificate) {
    auto bio = NewMemoryBio();
    Check(i2d_X509_bio(bio.get(), certificate) == 1, "writing a certificate as DER");
    return BioBytes(bio.get());
}

BioPtr OpenForReading(const std::filesystem::path& file) {
    return BioPtr(BIO_new_file(file.c_str(), "rb"));
}

KeyPtr LoadKey(const std::filesystem::path& file) {
    auto bio = OpenForReading(file);
    if (!bio) return nullptr;
    return KeyPtr(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
}

CertificatePtr LoadCertificate(const std::filesystem::path& file) {
    auto bio = OpenForReading(file);
    if (!bio) return nullptr;
    return CertificatePtr(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    Check(extension != nullptr, "making a certificate extension");
    Check(X509_add_ext(certificate, extension.get(), -1) == 1, "adding a certificate extension");
}

void SetRandomSerial(X509* certificate) {
    unsigned char bytes[16];
    Check(RAND_bytes(bytes, sizeof bytes) == 1, "drawing a serial number");
    bytes[0] &= 0x7F;  // serial numbers must be positive
    BigNumberPtr number(BN_bin2bn(bytes, sizeof bytes, nullptr));
    Check(number != nullptr, "making a serial number");
    Check(BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate)) != nullptr, "setting the serial");
}

// A certificate with subject CN=commonName, valid from yesterday (clock skew) for days.
CertificatePtr NewCertificate(EVP_PKEY* key, const char* commonName, long days) {
    CertificatePtr certificate(X509_new());
    Check(certificate != nullptr, "allocating a certificate");
    Check(X509_set_version(certificate.get(), 2) == 1, "setting the certificate version");
    SetRandomSerial(certificate.get());
    Check(X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -kDay) != nullptr, "setting the start date");
    Check(X509_gmtime_adj(X509_getm_notAfter(certificate.get()), days * kDay) != nullptr, "setting the end date");
    Check(X509_set_pubkey(certificate.get(), key) == 1, "setting the public key");
    X509_NAME* name = X509_get_subject_name(certificate.get());
    const auto text = [](const char* value) { return reinterpret_cast<const unsigned char*>(value); };
    Check(X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, text("Tessary test service"), -1, -1, 0) == 1 &&
              X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, text(commonName), -1, -1, 0) == 1,
          "naming a certificate");
    return certificate;
}

void Sign(X509* certificate, EVP_PKEY* issuerKey) {
    Check(X509_sign(certificate, issuerKey, EVP_sha256()) > 0, "signing a certificate");
}

CertificatePtr NewCaCertificate(EVP_PKEY* key) {
    auto certificate = NewCertificate(key, "Tessary Test CA", kCaDays);
    Check(X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get())) == 1,
          "setting the issuer");
    AddExtension(certificate.get(), certificate.get(), NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate.get(), certificate.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(certificate.get(), certificate.get(), NID_subject_key_identifier, "hash");
    Sign(certificate.get(), key);
    return certificate;
}

CertificatePtr NewServerCertificate(EVP_PKEY* key, X509* ca, EVP_PKEY* caKey) {
    auto certificate = NewCertificate(key, "localhost", kServerDays);
    Check(X509_set_issuer_name(certificate.get(), X509_get_subject_name(ca)) == 1, "setting the issuer");
    AddExtension(certificate.get(), ca, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate.get(), ca, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(certificate.get(), ca, NID_ext_key_usage, "serverAuth");
    AddExtension(certificate.get(), ca, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    AddExtension(certificate.get(), ca, NID_subject_key_identifier, "hash");
    AddExtension(certificate.get(), ca, NID_authority_key_identifier, "keyid:always");
    Sign(certificate.get(), caKey);
    return certificate;
}

bool StillUsable(X509* certificate, X509* ca, EVP_PKEY* key) {
    return certificate != nullptr && key != nullptr && X509_check_issued(ca, certificate) == X509_V_OK &&
           X509_check_private_key(certificate, key) == 1 &&
           X509_cmp_time(X509_get0_notAfter(certificate), nullptr) > 0;
}

constexpr auto kPrivate = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

}  // namespace

TlsFiles EnsureTlsFiles(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const TlsFiles files{folder / "ca.pem", folder / "ca.der", folder / "server.pem", folder / "server.key"};
    const auto caKeyFile = folder / "ca.key";

    auto caKey = LoadKey(caKeyFile);
    auto ca = LoadCertificate(files.caCertificate);
    if (!caKey || !ca || X509_check_private_key(ca.get(), caKey.get()) != 1) {
        caKey = NewRsaKey();
        ca = NewCaCertificate(caKey.get());
        WriteFileAtomically(caKeyFile, KeyPem(caKey.get()), kPrivate);
        WriteFileAtomically(files.caCertificate, CertificatePem(ca.get()));
    }
    // Always rewritten from the PEM, so the two forms can never disagree.
    WriteFileAtomically(files.caCertificateDer, CertificateDer(ca.get()));

    auto serverKey = LoadKey(files.serverKey);
    auto server = LoadCertificate(files.serverCertificate);
    if (!StillUsable(server.get(), ca.get(), serverKey.get())) {
        serverKey = NewRsaKey();
        server = NewServerCertificate(serverKey.get(), ca.get(), caKey.get());
        WriteFileAtomically(files.serverKey, KeyPem(serverKey.get()), kPrivate);
        WriteFileAtomically(files.serverCertificate, CertificatePem(server.get()));
    }
    return files;
}

}  // namespace tessary::service
