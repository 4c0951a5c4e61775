#pragma once

// Images of the current skin, by file name relative to the skin folder
// ("img_return.png", "icon/tab_home.png", "DeviceDriver.ico"). On a screen that scales
// by 2 or more the "@2x" variant beside an image is taken when there is one. A missing
// or unreadable image gives an empty pixmap, so a control without its picture still
// works; the name is traced once.
//
// An image with several states is a strip of equal frames side by side (normal, hover,
// pressed, disabled for buttons; normal, hover, selected for tab icons).

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QSet>
#include <QString>

namespace quillora::ui {

class SkinImages {
  public:
    // skinFolder: SkinFolder(applicationFolder, theme), ending with '/'.
    explicit SkinImages(QString skinFolder);

    const QString& Folder() const { return folder_; }

    // The image at the given device pixel ratio (the application's when 0).
    QPixmap Pixmap(const QString& name, qreal devicePixelRatio = 0) const;
    // An icon with both sizes where both exist; a null icon when neither loads.
    QIcon Icon(const QString& name) const;

    // Frame `index` of a strip of `frames`; the whole image when the strip's width does
    // not divide into that many frames (a single picture in its place).
    QPixmap Frame(const QString& name, int frames, int index, qreal devicePixelRatio = 0) const;
    // A button's icon from its strip of normal, hover, pressed, disabled.
    QIcon ButtonIcon(const QString& name) const;
    // A tab's icon from its strip of normal, hover, selected.
    QIcon TabIcon(const QString& name) const;

  private:
    QString folder_;
    mutable QHash<QString, QPixmap> cache_;
    mutable QSet<QString> reported_;
};

// Frame `index` of `frames` equal frames side by side in `strip`; the strip itself when
// it does not divide evenly, an empty pixmap for an index out of range.
QPixmap StripFrame(const QPixmap& strip, int frames, int index);

// "name.png" -> "name@2x.png"; a name without an extension gets "@2x" appended.
QString HighResolutionName(const QString& name);

}  // namespace quillora::ui
