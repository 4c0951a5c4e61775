#include "ui/PopupRegistry.h"

#include <QThread>

namespace quillora::ui {

PopupRegistry::PopupRegistry(QObject* parent) : QObject(parent) {}

void PopupRegistry::Register(QWidget* popup) {
    if (popup != nullptr && !popups_.contains(popup)) {
        popups_.append(popup);
    }
}

void PopupRegistry::Unregister(QWidget* popup) {
    popups_.removeAll(popup);
}

QList<QWidget*> PopupRegistry::Find(const QString& title) const {
    QList<QWidget*> found;
    for (const QPointer<QWidget>& popup : popups_) {
        if (popup && popup->windowTitle() == title) {
            found.append(popup.data());
        }
    }
    return found;
}

template <typename Action>
void PopupRegistry::OnWindowThread(Action action) {
    if (QThread::currentThread() == thread()) {
        action();
    } else {
        QMetaObject::invokeMethod(this, action, Qt::QueuedConnection);
    }
}

void PopupRegistry::CloseByTitle(const QString& title) {
    OnWindowThread([this, title] {
        popups_.removeAll(nullptr);
        for (QWidget* popup : Find(title)) {
            popup->close();
        }
    });
}

void PopupRegistry::HideByTitle(const QString& title) {
    OnWindowThread([this, title] {
        for (QWidget* popup : Find(title)) {
            popup->hide();
        }
    });
}

}  // namespace quillora::ui
