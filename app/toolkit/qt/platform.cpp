// The desktop platform: xdg-open / xdg-email / xdg-mime / xdg-user-dir for
// everything that is handed to or asked of the desktop, a per-user lock file
// plus a local socket for the single running instance.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>
#include <cstring>

#include "app/base/fs.h"
#include "app/base/system.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/qt/ez_internal.h"

namespace {

std::string RuntimeFolder() {
    QString dir;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = QDir::tempPath();
    return ez::U(dir);
}

std::string InstanceBase(const std::string& name) {
    return RuntimeFolder() + "/" + name + "-" + std::to_string(getuid());
}

// A socket in the abstract namespace: nothing to clean up on disk, gone with
// the process.
sockaddr_un SocketAddress(const std::string& name, socklen_t& len) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string key = name + "-" + std::to_string(getuid());
    size_t n = std::min(key.size(), sizeof(addr.sun_path) - 2);
    addr.sun_path[0] = '\0';
    std::memcpy(addr.sun_path + 1, key.data(), n);
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return addr;
}

// The first line a short-lived desktop tool prints; "" when it cannot be run,
// fails or takes longer than three seconds.
QString ToolAnswer(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(500);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput()).section('\n', 0, 0).trimmed();
}

// Restores and raises the main window when another start asks for it.
void RaiseMainWindow() {
    ez::Form* f = ez::FindForm("VL");
    if (!f || !f->win) return;
    EZ_BRINGTOFRONT("VL");
}

class DesktopPlatform : public Platform {
public:
    ~DesktopPlatform() override {
        if (listenFd_ >= 0) ::close(listenFd_);
    }

    bool ShellOpen(const std::string& target) override {
        if (target.empty()) return false;
        return QProcess::startDetached("xdg-open", {ez::Q(target)});
    }

    bool PdfViewerPresent() override {
        return !ToolAnswer("xdg-mime", {"query", "default", "application/pdf"}).isEmpty();
    }

    void ShowHelpTopic(const std::string& helpFolder, int topic) override {
        ShellOpen(HelpTopicUrl(helpFolder, topic));
    }

    bool SendMail(const MailRequest& mail) override {
        QStringList args;
        for (const auto& a : MailCommandArgs(mail)) args << ez::Q(a);
        return QProcess::startDetached("xdg-email", args);
    }

    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        return StartDetachedProcess(program, args);
    }

    bool MayConnect(const std::string&) override { return true; }

    bool AcquireSingleInstance(const std::string& name) override {
        if (lock_) return true;
        auto lock = std::make_unique<QLockFile>(ez::Q(InstanceBase(name) + ".lock"));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) return false;
        lock_ = std::move(lock);
        Listen(name);
        return true;
    }

    void SignalRunningInstance(const std::string& name) override {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        socklen_t len = 0;
        sockaddr_un addr = SocketAddress(name, len);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
            const char msg[] = "raise";
            ssize_t w = ::write(fd, msg, sizeof(msg) - 1);
            (void)w;
        }
        ::close(fd);
    }

    std::string MailtoHandler() override {
        return ez::U(ToolAnswer("xdg-mime", {"query", "default", "x-scheme-handler/mailto"}));
    }

    std::string DesktopEntry(const std::string& id) override {
        if (id.empty() || id.find('/') != std::string::npos) return {};
        QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, ez::Q(id));
        if (path.isEmpty()) return {};
        QFile f(path);
        // A desktop entry is a few kilobytes; anything far larger is not one.
        if (!f.open(QIODevice::ReadOnly) || f.size() > (1 << 20)) return {};
        return f.readAll().toStdString();
    }

    std::string FindProgram(const std::string& name) override {
        if (name.empty()) return {};
        return ez::U(QStandardPaths::findExecutable(ez::Q(name)));
    }

    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        if (program.empty()) return false;
        QStringList list;
        for (const auto& a : args) list << ez::Q(a);
        return QProcess::startDetached(ez::Q(program), list);
    }

    std::string DesktopFolder() override {
        QString dir = ToolAnswer("xdg-user-dir", {"DESKTOP"});
        if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = QDir::homePath() + "/Desktop";
        if (!QFileInfo(dir).isDir()) return {};
        return WithSeparator(ez::U(QDir::cleanPath(dir)));
    }

private:
    void Listen(const std::string& name) {
        listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listenFd_ < 0) return;
        socklen_t len = 0;
        sockaddr_un addr = SocketAddress(name, len);
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
            ::listen(listenFd_, 4) != 0) {
            ::close(listenFd_);
            listenFd_ = -1;
            return;
        }
        if (!QCoreApplication::instance()) return;  // no loop to listen from
        notifier_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this]() {
            int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) return;
            char buf[16] = {};
            // The sender writes and closes at once; a short blocking read is enough.
            timeval tv{1, 0};
            ::setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
            ssize_t n = ::read(c, buf, sizeof(buf) - 1);
            ::close(c);
            if (n > 0 && std::strncmp(buf, "raise", 5) == 0) {
                ++raiseRequests;
                RaiseMainWindow();
            }
        });
    }

public:
    int raiseRequests = 0;

private:
    std::unique_ptr<QLockFile> lock_;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

std::unique_ptr<Platform> MakeDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

int DesktopRaiseRequests(Platform& p) {
    auto* d = dynamic_cast<DesktopPlatform*>(&p);
    return d ? d->raiseRequests : 0;
}
