#pragma once

// One running instance per product key name, and the channel through which others
// talk to it.
//
// The instance holds an flock on "<runtime folder>/<name>.lock" for its whole life; the
// kernel drops the lock when the process dies, so a lock file left by a crash never
// blocks a new start. The holder listens on the local socket "<name>.socket" beside it.
// A request is one line:
//   "show"                    bring the window to the front
//   "message <msg> <param>"   a numbered message (1691/610 ends the program, 2022 sets
//                             all texts again)
// and the answer is one line, "ok" or "error".

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <optional>
#include <string_view>

namespace quillora::ui {

struct InstanceRequest {
    enum class Kind { Show, Message };
    Kind kind = Kind::Show;
    int message = 0;
    int param = 0;
};

// One request line without its line end; nothing when it is not well formed.
std::optional<InstanceRequest> ParseInstanceRequest(std::string_view line);

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    enum class Role {
        Primary,    // this process holds the lock and serves the socket
        Secondary,  // another process holds the lock
        Unguarded,  // no lock could be taken at all: run as if alone
    };

    // runtimeFolder: where the lock and the socket live (see DefaultRuntimeFolder).
    SingleInstance(const QString& productKeyName, const QString& runtimeFolder,
                   QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock; the primary starts listening at once.
    Role Claim();
    Role CurrentRole() const { return role_; }

    // As a secondary: asks the primary to show its window. False when nobody answered
    // (the primary may still be starting); the caller ends with code 0 either way.
    bool AskPrimaryToShow(int timeoutMs = 3000) const;

    // Delivers "message <msg> <param>" to the running instance; true when it answered ok.
    static bool SendMessage(const QString& productKeyName, const QString& runtimeFolder,
                            int message, int param, int timeoutMs = 3000);

    // $XDG_RUNTIME_DIR, or else /tmp/quillora-<uid>/, created 0700 and accepted only when
    // it is a real folder of ours that nobody else can enter. Empty when neither works.
    static QString DefaultRuntimeFolder();

    QString LockPath() const;
    QString SocketPath() const;

  signals:
    void showRequested();
    void messageReceived(int message, int param);

  private:
    void AcceptConnections();
    static bool Request(const QString& socketPath, const QByteArray& line, int timeoutMs);

    QString name_;
    QString folder_;
    Role role_ = Role::Unguarded;
    int lockFd_ = -1;
    QLocalServer server_;
};

}  // namespace quillora::ui
