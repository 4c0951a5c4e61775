#pragma once

// The main window: a frameless window with its own title bar (logo, title, web link,
// settings, minimise, maximise and close buttons), the device state panel, the tab
// bar of the device pages and the page stack. It is laid out for 1300 x 788 and scales
// with its height. The home page holds the device list; the device pages are added to
// the stack by their own views.
//
// The window decides nothing about closing or the tray: the close button and the
// window manager's close both ask closeRequested(), and the shell decides.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "lang/LanguageFile.h"

class QLabel;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QPushButton;

namespace quillora::ui {

class BatteryIndicator;
class DeviceListWidget;
class PopupRegistry;
class SkinImages;

inline constexpr int kDesignWidth = 1300;
inline constexpr int kDesignHeight = 788;

// The tab items: id, caption text, icon.
struct TabItem {
    int id;
    int text;
    const char* icon;
};
inline constexpr TabItem kTabItems[] = {
    {1, 71, "icon/tab_home.png"},  {2, 72, "icon/tab_key.png"},   {3, 73, "icon/tab_dpi.png"},
    {4, 74, "icon/tab_macro.png"}, {5, 75, "icon/tab_light.png"}, {7, 76, "icon/tab_set.png"},
};
inline constexpr int kHomePageId = 1;

class DeviceMainDlg : public QWidget {
    Q_OBJECT

  public:
    DeviceMainDlg(const InterfaceTexts& texts, const SkinImages& skin,
                  const QString& productKeyName, QWidget* parent = nullptr);
    ~DeviceMainDlg() override;

    // Every caption and tooltip, looked up again (a language change, message 2022).
    void SetAllTexts();
    // The title bar's link; an empty address opens nothing.
    void SetWebsiteUrl(const QString& url) { websiteUrl_ = url; }

    // Client height / 788, as of the last layout.
    double Scale() const { return scale_; }

    // Shows the device state panel and the tab bar with the given tab, or the home page
    // with both hidden.
    void ShowDevicePages(int tabIndex);
    void ShowHomePage();
    int CurrentPageId() const;

    // The empty-list notice follows the device list.
    void RefreshHomeState();

    QTabBar* TabBar() const { return tabBar_; }
    QStackedWidget* PageStack() const { return pages_; }
    DeviceListWidget* DeviceList() const { return deviceList_; }
    BatteryIndicator* Battery() const { return battery_; }
    QLabel* DeviceStateLabel() const { return deviceState_; }
    PopupRegistry& Popups() const { return *popups_; }

  signals:
    void closeRequested();
    void settingsRequested();
    void profileRequested();
    void restoreDefaultsRequested();
    void tabSelected(int pageId);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildTitleBar();
    QWidget* BuildStatePanel();
    QWidget* BuildHomePage();
    QToolButton* FrameButton(const char* objectName, const char* image, const QString& glyph);
    void ApplyScale();
    void UpdateMaximizeButton();

    const InterfaceTexts& texts_;
    const SkinImages& skin_;
    QString productKeyName_;
    QString websiteUrl_;
    double scale_ = 1.0;
    QPixmap background_;  // "main_bkg.png", stretched to the client area

    QWidget* titleBar_ = nullptr;
    QLabel* logo_ = nullptr;
    QLabel* title_ = nullptr;
    QPushButton* website_ = nullptr;
    QToolButton* settings_ = nullptr;
    QToolButton* minimize_ = nullptr;
    QToolButton* maximize_ = nullptr;
    QToolButton* close_ = nullptr;
    QWidget* statePanel_ = nullptr;
    QLabel* deviceState_ = nullptr;
    QPushButton* profile_ = nullptr;
    QPushButton* restore_ = nullptr;
    BatteryIndicator* battery_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    DeviceListWidget* deviceList_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QLabel* noDevice_ = nullptr;
    QLabel* notice_ = nullptr;
    PopupRegistry* popups_ = nullptr;
};

// Loads the dark style sheet into the application.
void ApplyDarkTheme();

}  // namespace quillora::ui
