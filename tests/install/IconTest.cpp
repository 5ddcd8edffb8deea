// The application icon is one SVG for the desktop and the window: Qt must draw all of it.
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

TEST(Icon, QtDrawsTheApplicationIconAtMenuSizes)
{
    for (const int size : {16, 48, 256}) {
        QImageReader reader(QStringLiteral(VESPERA_ICON_SVG));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << size << ": " << reader.errorString().toStdString();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size << ": the corners stay transparent";
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size << ": the middle is drawn";
    }
}
