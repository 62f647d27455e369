// windows.h first: wincrypt.h needs its types.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/loopback_tls.h"
#include "support/shell.h"
#include "support/test_env.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// tls_front.py, started through the build machine's shell, for as long as
// the server wants TLS; its folder holds its port and, at the end, the
// request to stop.
class TlsFront {
public:
    TlsFront(const std::string& certFile, const std::string& keyFile, int plainPort) {
        folder_ = MakeTempFolder("vantrel-tls-");
        if (folder_.empty()) return;
        const std::string script = SourceFolder() + "tests/support/tls_front.py";
        // In the background, without our output (ctest would wait for it).
        RunShell("python3 '" + script + "' '" + certFile + "' '" + keyFile + "' " +
                 std::to_string(plainPort) + " '" + folder_ + "' </dev/null >/dev/null 2>&1 &");
        const fs::path portFile = fs::path(folder_) / "port";
        std::error_code ec;
        for (int i = 0; i < 500 && !fs::exists(portFile, ec); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        port_ = std::atoi(ReadAll(portFile).c_str());
    }
    ~TlsFront() {
        if (folder_.empty()) return;
        const fs::path folder(folder_);
        std::ofstream(folder / "stop").put('\n');
        std::error_code ec;
        for (int i = 0; port_ && i < 250 && !fs::exists(folder / "ended", ec); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        fs::remove_all(folder, ec);
    }
    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;
    int port() const { return port_; }

private:
    std::string folder_;
    int port_ = 0;
};

}  // namespace

LoopbackTls StartLoopbackTls(const std::string& certFile, const std::string& keyFile,
                             int plainPort) {
    auto front = std::make_shared<TlsFront>(certFile, keyFile, plainPort);
    const int port = front->port();
    if (port == 0) return {};
    return {front, port};
}

namespace {

// The current user's root certificates in the registry, which the system's
// certificate chains end in. Changes are written when the store is closed.
HCERTSTORE OpenRootStore() {
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"Root");
}

}  // namespace

// The certificate goes into the root store WinHTTP checks servers against,
// and out of it again at the end.
TrustedCertificate::TrustedCertificate(const std::string& certFile) {
    const std::string pem = ReadAll(fs::path(certFile));
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return;
    std::string der(size, '\0');
    if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()),
                              CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()), &size,
                              nullptr, nullptr))
        return;
    HCERTSTORE root = OpenRootStore();
    if (!root) return;
    trusted_ = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                reinterpret_cast<const BYTE*>(der.data()), size,
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    if (trusted_) der_ = der;
}

TrustedCertificate::~TrustedCertificate() {
    if (der_.empty()) return;
    HCERTSTORE root = OpenRootStore();
    if (!root) return;
    PCCERT_CONTEXT ours =
        CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der_.data()),
                                     static_cast<DWORD>(der_.size()));
    if (ours) {
        // Deleting frees the store's copy.
        PCCERT_CONTEXT found = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0,
                                                          CERT_FIND_EXISTING, ours, nullptr);
        if (found) CertDeleteCertificateFromStore(found);
        CertFreeCertificateContext(ours);
    }
    CertCloseStore(root, 0);
}

// The front's connections arrive in plain HTTP.
LoopbackConnection::~LoopbackConnection() = default;

bool LoopbackConnection::Start(const std::shared_ptr<void>&, int) {
    return true;
}

bool LoopbackConnection::Readable(int ms) const {
    return WaitReadable(socket_, ms) > 0;
}

int64_t LoopbackConnection::Receive(char* into, size_t size) const {
    return ::Receive(socket_, into, size);
}

int64_t LoopbackConnection::Send(const char* data, size_t size) const {
    return ::Send(socket_, data, size);
}
