#pragma once

// The transient windows of the program (DPI notice, save indicator, progress windows,
// message boxes), found by their window titles. The worker closes or hides them by
// title while the mouse goes away, so both calls may come from any thread: off the
// window thread they are queued to it.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillora::ui {

class PopupRegistry : public QObject {
    Q_OBJECT

  public:
    explicit PopupRegistry(QObject* parent = nullptr);

    // Window thread only. A window that is destroyed drops out by itself.
    void Register(QWidget* popup);
    void Unregister(QWidget* popup);
    QList<QWidget*> Find(const QString& title) const;

    // Any thread.
    void CloseByTitle(const QString& title);
    void HideByTitle(const QString& title);

  private:
    template <typename Action>
    void OnWindowThread(Action action);

    QList<QPointer<QWidget>> popups_;
};

}  // namespace quillora::ui
