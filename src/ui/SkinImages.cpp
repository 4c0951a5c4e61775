#include "ui/SkinImages.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

#include "app/Trace.h"

namespace quillora::ui {

QString HighResolutionName(const QString& name) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) {
        return name + QStringLiteral("@2x");
    }
    return name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
}

SkinImages::SkinImages(QString skinFolder) : folder_(std::move(skinFolder)) {}

QPixmap SkinImages::Pixmap(const QString& name, qreal devicePixelRatio) const {
    if (devicePixelRatio <= 0) {
        devicePixelRatio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    }
    const bool twice = devicePixelRatio >= 2.0;
    const QString key = (twice ? QStringLiteral("2:") : QStringLiteral("1:")) + name;
    if (auto found = cache_.constFind(key); found != cache_.constEnd()) {
        return *found;
    }
    QPixmap pixmap;
    if (twice) {
        const QString path = folder_ + HighResolutionName(name);
        if (QFileInfo::exists(path) && pixmap.load(path)) {
            pixmap.setDevicePixelRatio(2.0);
        }
    }
    if (pixmap.isNull() && !name.isEmpty()) {
        pixmap.load(folder_ + name);
    }
    if (pixmap.isNull() && !reported_.contains(name)) {
        reported_.insert(name);
        Trace(TraceLevel::Info, "skin image missing: %s%s", qPrintable(folder_), qPrintable(name));
    }
    cache_.insert(key, pixmap);
    return pixmap;
}

QPixmap StripFrame(const QPixmap& strip, int frames, int index) {
    if (strip.isNull() || frames < 1 || index < 0 || index >= frames) {
        return {};
    }
    if (frames == 1 || strip.width() % frames != 0) {
        return strip;
    }
    const int width = strip.width() / frames;
    QPixmap frame = strip.copy(index * width, 0, width, strip.height());
    frame.setDevicePixelRatio(strip.devicePixelRatio());
    return frame;
}

QPixmap SkinImages::Frame(const QString& name, int frames, int index,
                          qreal devicePixelRatio) const {
    return StripFrame(Pixmap(name, devicePixelRatio), frames, index);
}

namespace {

struct FrameUse {
    int frame;
    QIcon::Mode mode;
    QIcon::State state;
};

QIcon IconFromStrip(const SkinImages& skin, const QString& name, int frames,
                    std::initializer_list<FrameUse> uses) {
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        const QPixmap strip = skin.Pixmap(name, ratio);
        if (strip.isNull() || (ratio == 2.0 && strip.devicePixelRatio() < 2.0)) {
            continue;
        }
        for (const FrameUse& use : uses) {
            icon.addPixmap(StripFrame(strip, frames, use.frame), use.mode, use.state);
        }
    }
    return icon;
}

}  // namespace

QIcon SkinImages::ButtonIcon(const QString& name) const {
    return IconFromStrip(*this, name, 4,
                         {{0, QIcon::Normal, QIcon::Off},
                          {1, QIcon::Active, QIcon::Off},
                          {2, QIcon::Selected, QIcon::Off},
                          {3, QIcon::Disabled, QIcon::Off}});
}

QIcon SkinImages::TabIcon(const QString& name) const {
    return IconFromStrip(*this, name, 3,
                         {{0, QIcon::Normal, QIcon::Off},
                          {1, QIcon::Active, QIcon::Off},
                          {2, QIcon::Normal, QIcon::On},
                          {2, QIcon::Active, QIcon::On}});
}

QIcon SkinImages::Icon(const QString& name) const {
    QIcon icon;
    const QPixmap normal = Pixmap(name, 1.0);
    if (!normal.isNull()) {
        icon.addPixmap(normal);
    }
    const QPixmap twice = Pixmap(name, 2.0);
    if (!twice.isNull() && twice.devicePixelRatio() >= 2.0) {
        icon.addPixmap(twice);
    }
    return icon;
}

}  // namespace quillora::ui
