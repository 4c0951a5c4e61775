// One instance per product key name: in-process instances for the socket protocol,
// real processes of the program for hand-over, --send and a stale lock.

#include <sys/stat.h>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <future>

#include "support/TempDir.h"
#include "ui/SingleInstance.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

constexpr int kGenerous = 30000;  // ms; sanitizer builds start slowly

// Sends one raw line from another thread (the primary answers on this one).
std::future<QByteArray> RawRequest(const QString& socketPath, const QByteArray& bytes) {
    return std::async(std::launch::async, [socketPath, bytes] {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (!socket.waitForConnected(kGenerous)) {
            return QByteArray("no connection");
        }
        socket.write(bytes);
        socket.waitForBytesWritten(kGenerous);
        while (!socket.canReadLine() && socket.waitForReadyRead(kGenerous)) {
        }
        return socket.readLine().trimmed();
    });
}

template <typename T>
T Await(std::future<T>& future) {
    while (future.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return future.get();
}

// The program started with private folders, on the offscreen platform.
class Program {
  public:
    explicit Program(const testing::TempDir& root) : root_(root) {}

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root_ / "run"));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(root_ / "config"));
        env.insert("XDG_DATA_HOME", QString::fromStdString(root_ / "data"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }
    QStringList Arguments(QStringList extra) const {
        return QStringList{"--app-dir", QUILLORA_SOURCE_DIR "/data/"} + extra;
    }
    void Start(QProcess& process, const QStringList& extra = {}) const {
        process.setProcessEnvironment(Environment());
        process.start(QUILLORA_EXECUTABLE, Arguments(extra));
    }
    // Runs to the end; the exit code, or -1 when it did not end normally.
    int Run(const QStringList& extra) const {
        QProcess process;
        Start(process, extra);
        if (!process.waitForFinished(kGenerous) || process.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process.exitCode();
    }
    QString SocketPath() const { return QString::fromStdString(root_ / "run/Quillora.socket"); }

  private:
    const testing::TempDir& root_;
};

// The primary answers once it listens.
bool WaitUntilServing(const Program& program) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kGenerous) {
        QLocalSocket probe;
        probe.connectToServer(program.SocketPath());
        if (probe.waitForConnected(1000)) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

  private slots:
    void secondClaimIsSecondary();
    void showAndMessagesReachThePrimary();
    void garbageIsRefused();
    void lockGoesWithItsHolder();
    void runtimeFolderMustBePrivate();
    void secondStartHandsOverAndEnds();
    void sendEndsOnlyWith610();
    void sendWithoutInstanceFails();
    void staleLockOfDeadProcessDoesNotBlock();
};

void SingleInstanceTest::secondClaimIsSecondary() {
    testing::TempDir run;
    const QString folder = QString::fromStdString(run.Path());
    SingleInstance first("Quillora", folder);
    SingleInstance second("Quillora", folder);
    SingleInstance other("Another product", folder);
    QCOMPARE(first.Claim(), SingleInstance::Role::Primary);
    QCOMPARE(second.Claim(), SingleInstance::Role::Secondary);
    QCOMPARE(other.Claim(), SingleInstance::Role::Primary);
    QCOMPARE(first.Claim(), SingleInstance::Role::Primary);  // asking again changes nothing
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(first.LockPath()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);

    // A name with a '/' stays in the folder.
    SingleInstance slashed("A/B", folder);
    QCOMPARE(QFileInfo(slashed.LockPath()).dir().path() + "/", folder);
}

void SingleInstanceTest::showAndMessagesReachThePrimary() {
    testing::TempDir run;
    const QString folder = QString::fromStdString(run.Path());
    SingleInstance primary("Quillora", folder);
    QCOMPARE(primary.Claim(), SingleInstance::Role::Primary);
    QSignalSpy shows(&primary, &SingleInstance::showRequested);
    QSignalSpy messages(&primary, &SingleInstance::messageReceived);

    SingleInstance secondary("Quillora", folder);
    QCOMPARE(secondary.Claim(), SingleInstance::Role::Secondary);
    auto shown =
        std::async(std::launch::async, [&] { return secondary.AskPrimaryToShow(kGenerous); });
    QVERIFY(Await(shown));
    QCOMPARE(shows.count(), 1);

    auto sent = std::async(std::launch::async, [&] {
        return SingleInstance::SendMessage("Quillora", folder, 1691, 610, kGenerous);
    });
    QVERIFY(Await(sent));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.first().at(0).toInt(), 1691);
    QCOMPARE(messages.first().at(1).toInt(), 610);

    // Two requests in one write are two requests.
    auto both = RawRequest(primary.SocketPath(), "message 2022 0\nshow\n");
    QCOMPARE(Await(both), QByteArray("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(shows.count(), 2, kGenerous);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().at(0).toInt(), 2022);
}

void SingleInstanceTest::garbageIsRefused() {
    testing::TempDir run;
    SingleInstance primary("Quillora", QString::fromStdString(run.Path()));
    QCOMPARE(primary.Claim(), SingleInstance::Role::Primary);
    QSignalSpy shows(&primary, &SingleInstance::showRequested);
    QSignalSpy messages(&primary, &SingleInstance::messageReceived);
    for (const QByteArray& line :
         {QByteArray("quit\n"), QByteArray("message 1691\n"), QByteArray("message one two\n")}) {
        auto answer = RawRequest(primary.SocketPath(), line);
        QCOMPARE(Await(answer), QByteArray("error"));
    }
    // An endless line is cut off rather than collected.
    auto flood = RawRequest(primary.SocketPath(), QByteArray(64 * 1024, 'x'));
    const QByteArray answer = Await(flood);
    QVERIFY(answer != "ok");
    QCOMPARE(shows.count(), 0);
    QCOMPARE(messages.count(), 0);
}

void SingleInstanceTest::lockGoesWithItsHolder() {
    testing::TempDir run;
    const QString folder = QString::fromStdString(run.Path());
    auto first = std::make_unique<SingleInstance>("Quillora", folder);
    QCOMPARE(first->Claim(), SingleInstance::Role::Primary);
    first.reset();
    // The lock file stays behind; it is the flock that counts.
    QVERIFY(QFile::exists(QString::fromStdString(run / "Quillora.lock")));
    SingleInstance next("Quillora", folder);
    QCOMPARE(next.Claim(), SingleInstance::Role::Primary);
    QSignalSpy shows(&next, &SingleInstance::showRequested);
    auto asked = RawRequest(next.SocketPath(), "show\n");
    QCOMPARE(Await(asked), QByteArray("ok"));
    QCOMPARE(shows.count(), 1);
}

void SingleInstanceTest::runtimeFolderMustBePrivate() {
    testing::TempDir run;
    {
        testing::ScopedEnv env("XDG_RUNTIME_DIR", run.Path().c_str());
        QCOMPARE(QDir::cleanPath(SingleInstance::DefaultRuntimeFolder()),
                 QDir::cleanPath(QString::fromStdString(run.Path())));
    }
    ::chmod(run.Path().c_str(), 0755);
    {
        // A folder others can enter is not used; the private fallback under /tmp is.
        testing::ScopedEnv env("XDG_RUNTIME_DIR", run.Path().c_str());
        const QString folder = SingleInstance::DefaultRuntimeFolder();
        QVERIFY(QDir::cleanPath(folder) != QDir::cleanPath(QString::fromStdString(run.Path())));
        QVERIFY(folder.startsWith("/tmp/quillora-"));
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
    }
    {
        // Unguarded rather than wrong when there is no folder at all.
        SingleInstance nowhere("Quillora", QString());
        QCOMPARE(nowhere.Claim(), SingleInstance::Role::Unguarded);
        QVERIFY(!SingleInstance::SendMessage("Quillora", QString(), 1691, 610, 100));
    }
}

void SingleInstanceTest::secondStartHandsOverAndEnds() {
    testing::TempDir root;
    QVERIFY(QDir().mkpath(QString::fromStdString(root / "run")));
    QFile::setPermissions(QString::fromStdString(root / "run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program program(root);
    QProcess primary;
    program.Start(primary, {"-hide"});
    QVERIFY(primary.waitForStarted(kGenerous));
    QVERIFY(WaitUntilServing(program));

    QCOMPARE(program.Run({}), 0);
    QCOMPARE(program.Run({"-autorun"}), 0);
    QCOMPARE(primary.state(), QProcess::Running);

    QCOMPARE(program.Run({"--send", "1691", "610"}), 0);
    QVERIFY(primary.waitForFinished(kGenerous));
    QCOMPARE(primary.exitStatus(), QProcess::NormalExit);
    QCOMPARE(primary.exitCode(), 0);
}

void SingleInstanceTest::sendEndsOnlyWith610() {
    testing::TempDir root;
    QVERIFY(QDir().mkpath(QString::fromStdString(root / "run")));
    QFile::setPermissions(QString::fromStdString(root / "run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program program(root);
    QProcess primary;
    program.Start(primary, {"-hide"});
    QVERIFY(WaitUntilServing(program));
    for (const QStringList& send :
         {QStringList{"--send", "1691", "611"}, QStringList{"--send", "1691", "0"},
          QStringList{"--send", "2022", "0"}, QStringList{"--send", "1234", "610"}}) {
        QCOMPARE(program.Run(send), 0);  // delivered, and answered by a running instance
        QCOMPARE(primary.state(), QProcess::Running);
    }
    QCOMPARE(program.Run({"--send", "1691"}), 2);  // bad usage
    // Still there to answer: none of the above ended it.
    QCOMPARE(program.Run({"--send", "1691", "610"}), 0);
    QVERIFY(primary.waitForFinished(kGenerous));
    QCOMPARE(primary.exitCode(), 0);
}

void SingleInstanceTest::sendWithoutInstanceFails() {
    testing::TempDir root;
    QVERIFY(QDir().mkpath(QString::fromStdString(root / "run")));
    QFile::setPermissions(QString::fromStdString(root / "run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program program(root);
    QCOMPARE(program.Run({"--send", "1691", "610"}), 1);
}

void SingleInstanceTest::staleLockOfDeadProcessDoesNotBlock() {
    testing::TempDir root;
    QVERIFY(QDir().mkpath(QString::fromStdString(root / "run")));
    QFile::setPermissions(QString::fromStdString(root / "run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program program(root);
    {
        QProcess crashed;
        program.Start(crashed, {"-hide"});
        QVERIFY(WaitUntilServing(program));
        crashed.kill();  // no chance to clean anything up
        QVERIFY(crashed.waitForFinished(kGenerous));
    }
    QVERIFY(QFile::exists(QString::fromStdString(root / "run/Quillora.lock")));
    QVERIFY(QFile::exists(program.SocketPath()));

    QProcess next;
    program.Start(next, {"-hide"});
    QVERIFY(WaitUntilServing(program));
    QCOMPARE(next.state(), QProcess::Running);  // it became the instance, not a second start
    QCOMPARE(program.Run({"--send", "1691", "610"}), 0);
    QVERIFY(next.waitForFinished(kGenerous));
    QCOMPARE(next.exitCode(), 0);
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
