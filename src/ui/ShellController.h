#pragma once

// The program's shell around the main window: the tray icon, the close button, the
// messages from other processes and every way the process ends.
//
// Ending is immediate: the tray icon goes, then the process ends with code 0 without
// stopping the worker or destroying the window; nothing is lost, because every change
// is stored when it is made. The one thing that must not be cut short is a firmware
// write, so while the exit is blocked a request waits and is carried out when the
// block is lifted.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace quillora {
class SettingsRegistry;
}

namespace quillora::ui {

class TrayIconSeam;

// Messages other processes send through the single-instance socket.
inline constexpr int kMessageExit = 1691;
inline constexpr int kMessageExitParam = 610;
inline constexpr int kMessageResetTexts = 2022;

// The tray tip holds at most this many characters.
inline constexpr int kMaxTrayTipLength = 255;

class ShellController : public QObject {
    Q_OBJECT

  public:
    // Ends the process with the given code; the default flushes stdio and _exits.
    using EndProcess = std::function<void(int exitCode)>;
    static void EndProcessNow(int exitCode);

    ShellController(QWidget& window, TrayIconSeam& tray, SettingsRegistry& registry,
                    EndProcess endProcess = &ShellController::EndProcessNow,
                    QObject* parent = nullptr);

    // Adds the tray icon with the product key name as its tip and `exitText` (text 12)
    // as its menu item.
    void AddTrayIcon(const QIcon& icon, const QString& productKeyName, const QString& exitText);
    void SetExitText(const QString& exitText);

    // The close button: "exit_mode" 1 hides into the tray (or minimises, when the
    // desktop has no tray to come back from); anything else ends the program.
    void CloseButtonClicked();
    // Tray click, second start: show in normal state, raise, activate.
    void BringWindowBack();
    // 1691 with 610 ends the program; 2022 asks for all texts again; all else nothing.
    void HandleMessage(int message, int param);
    // Tray menu, close button, 1691/610: remove the tray icon and end with code 0.
    void RequestExit();

    // While blocked, exit requests wait; lifting the block carries out a waiting one.
    void SetExitBlocked(bool blocked);
    bool ExitBlocked() const { return exitBlocked_; }
    bool ExitPending() const { return exitPending_; }

  signals:
    void textsResetRequested();

  private:
    QPointer<QWidget> window_;
    TrayIconSeam& tray_;
    SettingsRegistry& registry_;
    EndProcess endProcess_;
    bool exitBlocked_ = false;
    bool exitPending_ = false;
};

}  // namespace quillora::ui
