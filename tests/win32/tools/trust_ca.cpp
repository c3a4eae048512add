// trust_ca CERTIFICATE: adds a CA certificate (PEM or DER file) to the local machine's ROOT store,
// so the system's TLS stack accepts servers it has signed. Exit code 0 on success.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace {

void CloseStore(HCERTSTORE store) { ::CertCloseStore(store, 0); }
using CertificateStore = tessary::win32::UniqueHandle<HCERTSTORE, tessary::win32::NullIsInvalid<HCERTSTORE, CloseStore>>;

std::vector<BYTE> DerBytes(const std::string& file) {
    const std::string pemStart = "-----BEGIN";
    if (file.compare(0, pemStart.size(), pemStart) != 0) return std::vector<BYTE>(file.begin(), file.end());
    DWORD size = 0;
    if (!::CryptStringToBinaryA(file.data(), static_cast<DWORD>(file.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                                &size, nullptr, nullptr)) {
        return {};
    }
    std::vector<BYTE> der(size);
    if (!::CryptStringToBinaryA(file.data(), static_cast<DWORD>(file.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                                &size, nullptr, nullptr)) {
        return {};
    }
    der.resize(size);
    return der;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_ca CERTIFICATE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto der = DerBytes(file);
    if (der.empty()) {
        std::fprintf(stderr, "trust_ca: cannot read a certificate from %ls\n", argv[1]);
        return 1;
    }
    CertificateStore store(::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT"));
    if (!store) {
        std::fprintf(stderr, "trust_ca: cannot open the machine ROOT store (error %lu)\n", ::GetLastError());
        return 1;
    }
    if (!::CertAddEncodedCertificateToStore(store.Get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der.data(),
                                            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                            nullptr)) {
        std::fprintf(stderr, "trust_ca: cannot add the certificate (error 0x%08lx)\n", ::GetLastError());
        return 1;
    }
    std::printf("trust_ca: added %ls to the machine ROOT store\n", argv[1]);
    return 0;
}
