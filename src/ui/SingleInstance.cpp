#include "ui/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "app/Trace.h"

namespace quillora::ui {
namespace {

// A request longer than this is garbage; the connection is dropped.
constexpr qsizetype kMaxRequestLine = 256;

// The product key name as a file name: a '/' would name another folder.
QString FileStem(const QString& productKeyName) {
    QString stem = productKeyName;
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (stem.isEmpty()) {
        stem = QStringLiteral("quillora");
    }
    return stem;
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsPrivateFolder(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

std::optional<InstanceRequest> ParseInstanceRequest(std::string_view line) {
    if (line == "show") {
        return InstanceRequest{InstanceRequest::Kind::Show, 0, 0};
    }
    constexpr std::string_view prefix = "message ";
    if (line.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    std::string_view numbers = line.substr(prefix.size());
    std::size_t blank = numbers.find(' ');
    if (blank == std::string_view::npos) {
        return std::nullopt;
    }
    auto message = ParseInt(numbers.substr(0, blank));
    auto param = ParseInt(numbers.substr(blank + 1));
    if (!message || !param) {
        return std::nullopt;
    }
    return InstanceRequest{InstanceRequest::Kind::Message, *message, *param};
}

SingleInstance::SingleInstance(const QString& productKeyName, const QString& runtimeFolder,
                               QObject* parent)
    : QObject(parent), name_(FileStem(productKeyName)), folder_(runtimeFolder) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

QString SingleInstance::LockPath() const {
    return QDir(folder_).filePath(name_ + ".lock");
}
QString SingleInstance::SocketPath() const {
    return QDir(folder_).filePath(name_ + ".socket");
}

SingleInstance::Role SingleInstance::Claim() {
    if (lockFd_ >= 0) {
        return role_;
    }
    role_ = Role::Unguarded;
    if (folder_.isEmpty()) {
        Trace(TraceLevel::Warning, "single instance: no runtime folder, running unguarded");
        return role_;
    }
    const QByteArray lockPath = QFile::encodeName(LockPath());
    int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        Trace(TraceLevel::Warning, "single instance: cannot open %s (errno %d)",
              lockPath.constData(), errno);
        return role_;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            role_ = Role::Secondary;
        }
        return role_;
    }
    lockFd_ = fd;
    role_ = Role::Primary;
    // We hold the lock, so a socket file still there was left by a process that died.
    QLocalServer::removeServer(SocketPath());
    if (!server_.listen(SocketPath())) {
        Trace(TraceLevel::Warning, "single instance: cannot listen on %s: %s",
              qPrintable(SocketPath()), qPrintable(server_.errorString()));
    }
    return role_;
}

void SingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                QByteArray line = socket->readLine(kMaxRequestLine + 1).trimmed();
                auto request = ParseInstanceRequest(
                    std::string_view(line.constData(), std::size_t(line.size())));
                socket->write(request ? "ok\n" : "error\n");
                socket->flush();
                if (!request) {
                    Trace(TraceLevel::Warning, "single instance: refused request '%s'",
                          line.constData());
                    continue;
                }
                QPointer<QLocalSocket> alive(socket);
                if (request->kind == InstanceRequest::Kind::Show) {
                    emit showRequested();
                } else {
                    emit messageReceived(request->message, request->param);
                }
                if (!alive) {
                    return;
                }
            }
            if (socket->bytesAvailable() > kMaxRequestLine) {
                socket->abort();
            }
        });
    }
}

bool SingleInstance::Request(const QString& socketPath, const QByteArray& line, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(line + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.readLine().trimmed() == "ok";
}

bool SingleInstance::AskPrimaryToShow(int timeoutMs) const {
    return Request(SocketPath(), "show", timeoutMs);
}

bool SingleInstance::SendMessage(const QString& productKeyName, const QString& runtimeFolder,
                                 int message, int param, int timeoutMs) {
    if (runtimeFolder.isEmpty()) {
        return false;
    }
    const QString socketPath = QDir(runtimeFolder).filePath(FileStem(productKeyName) + ".socket");
    return Request(
        socketPath,
        QByteArray("message ") + QByteArray::number(message) + ' ' + QByteArray::number(param),
        timeoutMs);
}

QString SingleInstance::DefaultRuntimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime)) {
        return QFile::decodeName(runtime);
    }
    const QByteArray fallback = "/tmp/quillora-" + QByteArray::number(::getuid());
    if (::mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    // Someone else may have made it first; only a folder that is ours alone will do.
    if (!IsPrivateFolder(fallback)) {
        Trace(TraceLevel::Warning, "single instance: %s is not a private folder",
              fallback.constData());
        return {};
    }
    return QFile::decodeName(fallback);
}

}  // namespace quillora::ui
