#include "ui/ShellController.h"

#include <cstdio>
#include <cstdlib>

#include "app/SettingsRegistry.h"
#include "app/Trace.h"
#include "ui/ExitCodes.h"
#include "ui/TrayIcon.h"

namespace quillora::ui {

void ShellController::EndProcessNow(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

ShellController::ShellController(QWidget& window, TrayIconSeam& tray, SettingsRegistry& registry,
                                 EndProcess endProcess, QObject* parent)
    : QObject(parent),
      window_(&window),
      tray_(tray),
      registry_(registry),
      endProcess_(std::move(endProcess)) {
    connect(&tray_, &TrayIconSeam::activated, this, &ShellController::BringWindowBack);
    connect(&tray_, &TrayIconSeam::exitChosen, this, &ShellController::RequestExit);
}

void ShellController::AddTrayIcon(const QIcon& icon, const QString& productKeyName,
                                  const QString& exitText) {
    tray_.SetExitText(exitText);
    tray_.Show(icon, productKeyName.left(kMaxTrayTipLength));
}

void ShellController::SetExitText(const QString& exitText) {
    tray_.SetExitText(exitText);
}

void ShellController::CloseButtonClicked() {
    // Read each time: the settings page or another process may have changed it.
    if (registry_.ReadInt("exit_mode") != 1) {
        RequestExit();
        return;
    }
    if (!window_) {
        return;
    }
    if (tray_.IsAvailable() && tray_.IsShown()) {
        window_->hide();
    } else {
        // Hidden without a tray icon, the window could only come back through a second
        // start; minimised, the task bar still has it.
        window_->showMinimized();
    }
}

void ShellController::BringWindowBack() {
    if (!window_) {
        return;
    }
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

void ShellController::HandleMessage(int message, int param) {
    if (message == kMessageExit && param == kMessageExitParam) {
        RequestExit();
    } else if (message == kMessageResetTexts) {
        emit textsResetRequested();
    }
}

void ShellController::RequestExit() {
    if (exitBlocked_) {
        Trace(TraceLevel::Info, "exit deferred until the firmware write ends");
        exitPending_ = true;
        return;
    }
    exitPending_ = false;
    tray_.Remove();
    endProcess_(kExitCodeEnded);
}

void ShellController::SetExitBlocked(bool blocked) {
    exitBlocked_ = blocked;
    if (!blocked && exitPending_) {
        RequestExit();
    }
}

}  // namespace quillora::ui
