#include "ui/DeviceMainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "ui/BatteryIndicator.h"
#include "ui/DeviceListWidget.h"
#include "ui/PopupRegistry.h"
#include "ui/SkinImages.h"
#include "ui/Texts.h"

// A resource file in a static library is registered only when asked for by name, and
// that cannot be done inside a namespace.
static void InitialiseUiResources() {
    Q_INIT_RESOURCE(ui);
}

namespace quillora::ui {
namespace {

// Sizes at the design height; each is multiplied by the scale.
constexpr int kTitleBarHeight = 64;
constexpr int kStatePanelHeight = 48;
constexpr int kTabBarHeight = 56;
constexpr int kFrameButtonWidth = 40;  // one frame of the sysbtn strips
constexpr int kFrameButtonHeight = 32;
constexpr int kGlyphFontPixels = 18;
constexpr int kBodyFontPixels = 14;
constexpr int kTitleFontPixels = 20;
constexpr int kNoticeFontPixels = 22;

int Scaled(int size, double scale) {
    return std::max(1, int(std::lround(size * scale)));
}

}  // namespace

void ApplyDarkTheme() {
    InitialiseUiResources();
    QFile sheet(QStringLiteral(":/quillora/dark.qss"));
    if (sheet.open(QIODevice::ReadOnly)) {
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    }
}

DeviceMainDlg::DeviceMainDlg(const InterfaceTexts& texts, const SkinImages& skin,
                             const QString& productKeyName, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      texts_(texts),
      skin_(skin),
      productKeyName_(productKeyName),
      popups_(new PopupRegistry(this)) {
    setObjectName(QStringLiteral("deviceMainDlg"));
    setAttribute(Qt::WA_StyledBackground);
    setWindowTitle(productKeyName_);
    setWindowIcon(skin_.Icon(QStringLiteral("DeviceDriver.ico")));
    background_ = skin_.Pixmap(QStringLiteral("main_bkg.png"));
    setMinimumSize(kDesignWidth / 2, kDesignHeight / 2);
    resize(kDesignWidth, kDesignHeight);

    tabBar_ = new QTabBar(this);
    tabBar_->setObjectName(QStringLiteral("pageTabBar"));
    tabBar_->setExpanding(false);
    tabBar_->setDrawBase(false);
    for (const TabItem& item : kTabItems) {
        const int index = tabBar_->addTab(skin_.TabIcon(QString::fromLatin1(item.icon)), QString());
        tabBar_->setTabData(index, item.id);
    }
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("pageStackedWidget"));
    pages_->addWidget(BuildHomePage());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildTitleBar());
    layout->addWidget(BuildStatePanel());
    layout->addWidget(tabBar_, 0, Qt::AlignHCenter);
    layout->addWidget(pages_, 1);

    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) {
            emit tabSelected(tabBar_->tabData(index).toInt());
        }
    });

    SetAllTexts();
    ShowHomePage();
    ApplyScale();
}

DeviceMainDlg::~DeviceMainDlg() = default;

QToolButton* DeviceMainDlg::FrameButton(const char* objectName, const char* image,
                                        const QString& glyph) {
    auto* button = new QToolButton(titleBar_);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    const QIcon icon = skin_.ButtonIcon(QString::fromLatin1(image));
    if (icon.isNull()) {
        button->setText(glyph);  // until the skin has the picture
    } else {
        button->setIcon(icon);
    }
    return button;
}

QWidget* DeviceMainDlg::BuildTitleBar() {
    titleBar_ = new QWidget(this);
    titleBar_->setObjectName(QStringLiteral("titleBarWidget"));
    titleBar_->setAttribute(Qt::WA_StyledBackground);
    titleBar_->installEventFilter(this);

    logo_ = new QLabel(titleBar_);
    logo_->setObjectName(QStringLiteral("logoLabel"));
    logo_->setPixmap(skin_.Pixmap(QStringLiteral("logo.png")));
    logo_->setScaledContents(true);
    logo_->setVisible(!logo_->pixmap().isNull());
    title_ = new QLabel(titleBar_);
    title_->setObjectName(QStringLiteral("titleLabel"));
    title_->installEventFilter(this);
    website_ = new QPushButton(titleBar_);
    website_->setObjectName(QStringLiteral("websiteButton"));
    website_->setFlat(true);
    website_->setCursor(Qt::PointingHandCursor);
    connect(website_, &QPushButton::clicked, this, [this] {
        if (!websiteUrl_.isEmpty()) {
            QDesktopServices::openUrl(QUrl(websiteUrl_));
        }
    });

    settings_ = FrameButton("settingsButton", "sysbtn_setting.png", QStringLiteral("\u2699"));
    minimize_ = FrameButton("minimizeButton", "sysbtn_min.png", QStringLiteral("\u2013"));
    maximize_ = FrameButton("maximizeButton", "sysbtn_maximize.png", QStringLiteral("\u25a1"));
    close_ = FrameButton("closeButton", "sysbtn_close.png", QStringLiteral("\u2715"));
    connect(settings_, &QToolButton::clicked, this, &DeviceMainDlg::settingsRequested);
    connect(minimize_, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(maximize_, &QToolButton::clicked, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(close_, &QToolButton::clicked, this, &DeviceMainDlg::closeRequested);

    auto* row = new QHBoxLayout(titleBar_);
    row->setContentsMargins(20, 0, 12, 0);
    row->setSpacing(12);
    row->addWidget(logo_);
    row->addWidget(title_);
    row->addWidget(website_);
    row->addStretch();
    row->addWidget(settings_);
    row->addWidget(minimize_);
    row->addWidget(maximize_);
    row->addWidget(close_);
    return titleBar_;
}

QWidget* DeviceMainDlg::BuildStatePanel() {
    statePanel_ = new QWidget(this);
    statePanel_->setObjectName(QStringLiteral("statePanelWidget"));
    statePanel_->setAttribute(Qt::WA_StyledBackground);
    deviceState_ = new QLabel(statePanel_);
    deviceState_->setObjectName(QStringLiteral("deviceStateLabel"));
    battery_ = new BatteryIndicator(statePanel_);
    battery_->SetImages(skin_);
    profile_ = new QPushButton(statePanel_);
    profile_->setObjectName(QStringLiteral("profileButton"));
    profile_->setIcon(skin_.Icon(QStringLiteral("icon/icon_arrow_up.png")));
    restore_ = new QPushButton(statePanel_);
    restore_->setObjectName(QStringLiteral("restoreButton"));
    connect(profile_, &QPushButton::clicked, this, &DeviceMainDlg::profileRequested);
    connect(restore_, &QPushButton::clicked, this, &DeviceMainDlg::restoreDefaultsRequested);

    auto* row = new QHBoxLayout(statePanel_);
    row->setContentsMargins(24, 0, 24, 0);
    row->setSpacing(16);
    row->addWidget(deviceState_);
    row->addWidget(battery_);
    row->addStretch();
    row->addWidget(profile_);
    row->addWidget(restore_);
    return statePanel_;
}

QWidget* DeviceMainDlg::BuildHomePage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("homePageWidget"));
    previous_ = new QToolButton(page);
    previous_->setObjectName(QStringLiteral("previousButton"));
    next_ = new QToolButton(page);
    next_->setObjectName(QStringLiteral("nextButton"));
    for (auto [button, image, glyph] : {std::tuple{previous_, "img_btn_pre.png", "\u2039"},
                                        {next_, "img_btn_next.png", "\u203a"}}) {
        button->setAutoRaise(true);
        const QIcon icon = skin_.ButtonIcon(QString::fromLatin1(image));
        if (icon.isNull()) {
            button->setText(QString::fromUtf8(glyph));
        } else {
            button->setIcon(icon);
        }
    }
    deviceList_ = new DeviceListWidget(page);
    deviceList_->SetImages(skin_);
    connect(previous_, &QToolButton::clicked, deviceList_, [this] { deviceList_->Select(-1); });
    connect(next_, &QToolButton::clicked, deviceList_, [this] { deviceList_->Select(-1); });

    emptyState_ = new QWidget(page);
    emptyState_->setObjectName(QStringLiteral("emptyStateWidget"));
    noDevice_ = new QLabel(emptyState_);
    noDevice_->setObjectName(QStringLiteral("noDeviceLabel"));
    noDevice_->setAlignment(Qt::AlignCenter);
    notice_ = new QLabel(emptyState_);
    notice_->setObjectName(QStringLiteral("noticeLabel"));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    auto* emptyColumn = new QVBoxLayout(emptyState_);
    emptyColumn->addStretch();
    emptyColumn->addWidget(noDevice_);
    emptyColumn->addWidget(notice_);
    emptyColumn->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(previous_);
    row->addWidget(deviceList_, 1);
    row->addWidget(emptyState_, 1);
    row->addWidget(next_);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(40, 24, 40, 40);
    column->addLayout(row, 1);
    return page;
}

void DeviceMainDlg::SetAllTexts() {
    title_->setText(Text(texts_, 1));
    website_->setText(Text(texts_, 2));
    close_->setToolTip(Text(texts_, 5));
    minimize_->setToolTip(Text(texts_, 6));
    maximize_->setToolTip(Text(texts_, 7));
    settings_->setToolTip(Text(texts_, 11));
    deviceState_->setText(Text(texts_, 50));
    profile_->setText(Text(texts_, 61));
    restore_->setText(Text(texts_, 558));
    for (int index = 0; index < tabBar_->count(); ++index) {
        tabBar_->setTabText(index, Text(texts_, kTabItems[index].text));
    }
    previous_->setToolTip(Text(texts_, 85));
    next_->setToolTip(Text(texts_, 86));
    deviceList_->SetTexts(Text(texts_, 51), Text(texts_, 52), Text(texts_, 57), Text(texts_, 15));
    noDevice_->setText(Text(texts_, 50));
    notice_->setText(Text(texts_, 56));
}

void DeviceMainDlg::ShowHomePage() {
    statePanel_->hide();
    tabBar_->hide();
    pages_->setCurrentIndex(0);
    RefreshHomeState();
}

void DeviceMainDlg::ShowDevicePages(int tabIndex) {
    statePanel_->show();
    tabBar_->show();
    tabBar_->setCurrentIndex(tabIndex);
}

int DeviceMainDlg::CurrentPageId() const {
    if (tabBar_->isHidden()) {
        return kHomePageId;
    }
    return tabBar_->tabData(tabBar_->currentIndex()).toInt();
}

void DeviceMainDlg::RefreshHomeState() {
    const bool empty = deviceList_->Count() == 0;
    deviceList_->setVisible(!empty);
    emptyState_->setVisible(empty);
    previous_->setVisible(!empty);
    next_->setVisible(!empty);
}

void DeviceMainDlg::ApplyScale() {
    scale_ = height() / double(kDesignHeight);
    QFont body = font();
    body.setPixelSize(Scaled(kBodyFontPixels, scale_));
    setFont(body);
    QFont titleFont = body;
    titleFont.setPixelSize(Scaled(kTitleFontPixels, scale_));
    titleFont.setBold(true);
    title_->setFont(titleFont);
    QFont noticeFont = body;
    noticeFont.setPixelSize(Scaled(kNoticeFontPixels, scale_));
    noDevice_->setFont(noticeFont);
    titleBar_->setFixedHeight(Scaled(kTitleBarHeight, scale_));
    if (const QPixmap logo = logo_->pixmap(); !logo.isNull()) {
        const QSizeF size = logo.deviceIndependentSize();
        logo_->setFixedSize(Scaled(int(size.width()), scale_), Scaled(int(size.height()), scale_));
    }
    statePanel_->setFixedHeight(Scaled(kStatePanelHeight, scale_));
    tabBar_->setFixedHeight(Scaled(kTabBarHeight, scale_));
    const QSize buttonSize(Scaled(kFrameButtonWidth, scale_), Scaled(kFrameButtonHeight, scale_));
    QFont glyphFont = body;
    glyphFont.setPixelSize(Scaled(kGlyphFontPixels, scale_));
    for (QToolButton* button : {settings_, minimize_, maximize_, close_}) {
        button->setFixedSize(buttonSize);
        button->setIconSize(buttonSize);
        button->setFont(glyphFont);
    }
    tabBar_->setIconSize(QSize(Scaled(24, scale_), Scaled(24, scale_)));
}

void DeviceMainDlg::UpdateMaximizeButton() {
    const QIcon icon = skin_.ButtonIcon(isMaximized() ? QStringLiteral("sysbtn_restore.png")
                                                      : QStringLiteral("sysbtn_maximize.png"));
    if (icon.isNull()) {
        maximize_->setIcon(QIcon());
        maximize_->setText(isMaximized() ? QStringLiteral("\u2750") : QStringLiteral("\u25a1"));
    } else {
        maximize_->setIcon(icon);
    }
    maximize_->setProperty("maximized", isMaximized());
}

void DeviceMainDlg::paintEvent(QPaintEvent* event) {
    if (background_.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(rect(), background_);
}

void DeviceMainDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyScale();
}

void DeviceMainDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        UpdateMaximizeButton();
    }
}

void DeviceMainDlg::closeEvent(QCloseEvent* event) {
    // The shell hides, minimises or ends the process; the window never closes itself.
    event->ignore();
    emit closeRequested();
}

bool DeviceMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titleBar_ || watched == title_) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && windowHandle() != nullptr) {
                windowHandle()->startSystemMove();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            isMaximized() ? showNormal() : showMaximized();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillora::ui
