#pragma once

// The notification-area icon behind a small interface: the desktop may have no tray
// at all (and the offscreen platform never has one), so the shell talks to this and
// tests drive a fake.

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quillora::ui {

class TrayIconSeam : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~TrayIconSeam() override = default;

    // Whether the desktop offers a tray to hide into.
    virtual bool IsAvailable() const = 0;
    virtual void Show(const QIcon& icon, const QString& toolTip) = 0;
    virtual void SetToolTip(const QString& toolTip) = 0;
    // The caption of the menu's one item, which ends the program.
    virtual void SetExitText(const QString& text) = 0;
    virtual void Remove() = 0;
    virtual bool IsShown() const = 0;

  signals:
    void activated();   // left click or double click on the icon
    void exitChosen();  // the menu's item
};

// The real icon, on QSystemTrayIcon; right click opens its one-item menu.
class SystemTrayIcon final : public TrayIconSeam {
    Q_OBJECT

  public:
    explicit SystemTrayIcon(QObject* parent = nullptr);
    ~SystemTrayIcon() override;

    bool IsAvailable() const override;
    void Show(const QIcon& icon, const QString& toolTip) override;
    void SetToolTip(const QString& toolTip) override;
    void SetExitText(const QString& text) override;
    void Remove() override;
    bool IsShown() const override;

  private:
    std::unique_ptr<QMenu> menu_;
    QAction* exitAction_ = nullptr;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace quillora::ui
