// The update check's TLS through libcurl against openssl s_server on a
// loopback port: certificate verification and the oldest TLS version
// accepted. Built on POSIX systems only (it starts and signals a process of
// its own); the Windows build fetches through WinHTTP.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "services/update_check.h"
#include "support/loopback_http.h"
#include "support/test_env.h"

namespace {

// --- TLS ------------------------------------------------------------------------

// openssl s_server on a free loopback port, ended when the test ends.
class TlsServer {
public:
    TlsServer(const std::string& cert, const std::string& key, const std::string& versionFlag) {
        port_ = UnusedLoopbackPort();
        std::vector<std::string> args = {
            "openssl", "s_server", "-quiet", "-www", "-accept", std::to_string(port_),
            "-cert",   cert,       "-key",   key};
        if (!versionFlag.empty()) {
            args.push_back(versionFlag);
            args.insert(args.end(), {"-cipher", "DEFAULT@SECLEVEL=0"});
        }
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "openssl", nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
        // Ready when it accepts connections.
        for (int i = 0; pid_ && i < 250 && !Accepts(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~TlsServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    bool Accepts() const {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port_));
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
        ::close(fd);
        return ok;
    }
    std::string Url() const {
        return "https://127.0.0.1:" + std::to_string(port_) + "/VLVersion.txt";
    }

private:
    pid_t pid_ = 0;
    int port_ = 0;
};

TEST(UpdateTls, ASelfSignedCertificateFailsVerification) {
    TempProgramFolder folder;
    const std::string cert = folder.path() + "cert.pem", key = folder.path() + "key.pem";
    const std::string make =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
        key + "' -out '" + cert + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << "openssl could not make a certificate";

    TlsServer server(cert, key, "");
    ASSERT_TRUE(server.Accepts());
    FetchOutcome f = FetchVersionText(server.Url(), 5000);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.errorNumber, 60) << f.description;  // peer certificate cannot be authenticated
    EXPECT_NE(f.description.find("certificate"), std::string::npos) << f.description;

    // The same server is fine once its certificate is trusted: the failure
    // above is the verification and nothing else.
    FetchOutcome trusted = FetchVersionText(server.Url(), 5000, cert);
    EXPECT_TRUE(trusted.ok) << trusted.description;

    // Older than TLS 1.2 is refused even with a trusted certificate.
    TlsServer old(cert, key, "-tls1_1");
    ASSERT_TRUE(old.Accepts());
    FetchOutcome tls11 = FetchVersionText(old.Url(), 5000, cert);
    EXPECT_FALSE(tls11.ok);
    EXPECT_EQ(tls11.errorNumber, 35) << tls11.description;  // TLS handshake failed
}

}  // namespace
