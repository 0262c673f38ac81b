#include "codecs/bmp/bmp_writer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/pixels.h"

namespace koma {
namespace {

TEST(BmpWriterTest, WritesTwentyFourBitFilesThatReadBackAndReplaceOldOnes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bmp");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();

    const QImage image = test::from_rows({"RGBKW", "MYCKK", "WWWWR"});
    ASSERT_TRUE(save_bmp(image, path).has_value());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 30);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(static_cast<int>(bytes[28]), 24);  // bits per pixel
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), image);
}

TEST(BmpWriterTest, AFailureNamesTheFile) {
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString path = dir.filePath("plain/a.bmp");
    const auto saved = save_bmp(test::solid(2, 2, 0xFF000000u), path);
    ASSERT_FALSE(saved.has_value());
    EXPECT_TRUE(saved.error().startsWith(path + ": ")) << saved.error().toStdString();
}

}  // namespace
}  // namespace koma
