#include "ui/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

namespace quillora::ui {

SystemTrayIcon::SystemTrayIcon(QObject* parent)
    : TrayIconSeam(parent), menu_(std::make_unique<QMenu>()) {
    menu_->setObjectName(QStringLiteral("trayMenu"));
    exitAction_ = menu_->addAction(QString());
    exitAction_->setObjectName(QStringLiteral("exitAction"));
    connect(exitAction_, &QAction::triggered, this, &TrayIconSeam::exitChosen);
    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) {
                    emit activated();
                }
            });
}

SystemTrayIcon::~SystemTrayIcon() {
    icon_->hide();
}

bool SystemTrayIcon::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::Show(const QIcon& icon, const QString& toolTip) {
    icon_->setIcon(icon);
    icon_->setToolTip(toolTip);
    icon_->show();
}

void SystemTrayIcon::SetToolTip(const QString& toolTip) {
    icon_->setToolTip(toolTip);
}
void SystemTrayIcon::SetExitText(const QString& text) {
    exitAction_->setText(text);
}
void SystemTrayIcon::Remove() {
    icon_->hide();
}
bool SystemTrayIcon::IsShown() const {
    return icon_->isVisible();
}

}  // namespace quillora::ui
