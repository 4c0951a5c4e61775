// Skin images by name: fallbacks, the @2x variants and state strips.

#include <QtTest>

#include "support/TempDir.h"
#include "ui/SkinImages.h"

using namespace quillora;
using namespace quillora::ui;

namespace {

// A strip of frames of the given colours, each `width` x `height`.
void WriteStrip(const std::string& path, int width, int height, const QList<QColor>& colours) {
    QImage image(width * int(colours.size()), height, QImage::Format_ARGB32);
    for (int i = 0; i < colours.size(); ++i) {
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                image.setPixelColor(i * width + x, y, colours[i]);
            }
        }
    }
    QVERIFY(image.save(QString::fromStdString(path)));
}

QColor Centre(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

class SkinTest : public QObject {
    Q_OBJECT

  private slots:
    void missingImagesAreEmpty();
    void highResolutionVariantAtTwice();
    void stripFrames_data();
    void stripFrames();
    void buttonAndTabIconsUseTheirFrames();
};

void SkinTest::missingImagesAreEmpty() {
    testing::TempDir skin;
    const SkinImages images(QString::fromStdString(skin.Path()));
    QVERIFY(images.Pixmap("nothing.png").isNull());
    QVERIFY(images.Pixmap("nothing.png", 2.0).isNull());
    QVERIFY(images.Icon("nothing.png").isNull());
    QVERIFY(images.ButtonIcon("nothing.png").isNull());
    QVERIFY(images.Frame("nothing.png", 4, 0).isNull());
    testing::TempDir::WriteFile(skin / "broken.png", "not a picture");
    QVERIFY(images.Pixmap("broken.png").isNull());
}

void SkinTest::highResolutionVariantAtTwice() {
    testing::TempDir skin;
    std::filesystem::create_directories(skin / "icon");
    WriteStrip(skin / "icon/a.png", 10, 10, {Qt::red});
    WriteStrip(skin / "icon/a@2x.png", 20, 20, {Qt::blue});
    WriteStrip(skin / "b.png", 10, 10, {Qt::green});
    const SkinImages images(QString::fromStdString(skin.Path()));

    const QPixmap normal = images.Pixmap("icon/a.png", 1.0);
    QCOMPARE(normal.size(), QSize(10, 10));
    QCOMPARE(Centre(normal), QColor(Qt::red));
    const QPixmap twice = images.Pixmap("icon/a.png", 2.0);
    QCOMPARE(twice.devicePixelRatio(), 2.0);
    QCOMPARE(twice.deviceIndependentSize(), QSizeF(10, 10));
    QCOMPARE(Centre(twice), QColor(Qt::blue));
    // Without a variant the plain image serves at any ratio.
    const QPixmap only = images.Pixmap("b.png", 2.0);
    QCOMPARE(only.devicePixelRatio(), 1.0);
    QCOMPARE(Centre(only), QColor(Qt::green));
}

void SkinTest::stripFrames_data() {
    QTest::addColumn<int>("stripWidth");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("width");  // 0: empty
    QTest::newRow("first of four") << 160 << 4 << 0 << 40;
    QTest::newRow("last of four") << 160 << 4 << 3 << 40;
    QTest::newRow("past the last") << 160 << 4 << 4 << 0;
    QTest::newRow("negative") << 160 << 4 << -1 << 0;
    QTest::newRow("single picture") << 176 << 1 << 0 << 176;
    QTest::newRow("does not divide") << 150 << 4 << 2 << 150;
    QTest::newRow("no frames") << 160 << 0 << 0 << 0;
}

void SkinTest::stripFrames() {
    QFETCH(int, stripWidth);
    QFETCH(int, frames);
    QFETCH(int, index);
    QFETCH(int, width);
    QPixmap strip(stripWidth, 32);
    strip.fill(Qt::gray);
    const QPixmap frame = StripFrame(strip, frames, index);
    QCOMPARE(frame.isNull(), width == 0);
    if (width != 0) {
        QCOMPARE(frame.size(), QSize(width, 32));
    }
}

void SkinTest::buttonAndTabIconsUseTheirFrames() {
    testing::TempDir skin;
    WriteStrip(skin / "sysbtn_close.png", 40, 32, {Qt::red, Qt::green, Qt::blue, Qt::gray});
    WriteStrip(skin / "tab.png", 24, 24, {Qt::red, Qt::green, Qt::blue});
    const SkinImages images(QString::fromStdString(skin.Path()));

    QCOMPARE(Centre(images.Frame("sysbtn_close.png", 4, 2)), QColor(Qt::blue));
    const QIcon button = images.ButtonIcon("sysbtn_close.png");
    QCOMPARE(Centre(button.pixmap(QSize(40, 32), 1.0, QIcon::Normal)), QColor(Qt::red));
    QCOMPARE(Centre(button.pixmap(QSize(40, 32), 1.0, QIcon::Active)), QColor(Qt::green));
    QCOMPARE(Centre(button.pixmap(QSize(40, 32), 1.0, QIcon::Disabled)), QColor(Qt::gray));
    const QIcon tab = images.TabIcon("tab.png");
    QCOMPARE(Centre(tab.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::Off)), QColor(Qt::red));
    QCOMPARE(Centre(tab.pixmap(QSize(24, 24), 1.0, QIcon::Active, QIcon::Off)), QColor(Qt::green));
    QCOMPARE(Centre(tab.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::On)), QColor(Qt::blue));
}

QTEST_MAIN(SkinTest)
#include "SkinTest.moc"
