#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>

#include "codecs/gif/dib_to_gif.h"
#include "codecs/gif/gif_encoder.h"
#include "support/gif_reader.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::decode_gif;
using test::DecodedGif;
using test::from_rows;
using test::solid;

// A striped 16 x 6 background with a 3 x 2 block at x; at most 6 colours in all.
QImage scene(int block_x, QRgb block = qRgb(255, 0, 0)) {
    QImage image(16, 6, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, (x / 2 + y) % 3 == 0 ? qRgb(0, 0, 200) : qRgb(230, 230, 230));
        }
    }
    for (int y = 2; y < 4; ++y) {
        for (int x = block_x; x < block_x + 3; ++x) image.setPixel(x, y, block);
    }
    return image;
}

// A 24 x 16 gradient of 384 colours with a 4 x 4 block moved to x.
QImage gradient(int block_x) {
    QImage image(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool block = x >= block_x && x < block_x + 4 && y >= 6 && y < 10;
            image.setPixel(x, y, block ? qRgb(250, 30, 200) : qRgb(x * 10, y * 15, 90));
        }
    }
    return image;
}

class GifWriterTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    /// Captures the frames, writes them, releases them, decodes the file.
    DecodedGif write_and_read(const std::vector<QImage>& images) {
        std::vector<GifFrame> entries(images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            Surface stage;
            stage.set_picture(images[i]);
            entries[i] = {
                4096, {}, 2, 10, DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips())};
        }
        GifOptions options{1024, 0, 0, 0, 0};
        const auto written = DIBtoGIFAniEx(path("a.gif"), entries.data(),
                                           static_cast<int>(entries.size()), &options);
        for (const GifFrame& entry : entries) DeleteDIB(entry.dib);
        EXPECT_TRUE(written.has_value()) << written.error().toStdString();
        return decode_gif(path("a.gif"));
    }

    static void expect_frames_equal(const DecodedGif& gif, const std::vector<QImage>& images) {
        ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
        ASSERT_EQ(gif.frames.size(), images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            EXPECT_EQ(gif.frames[i], images[i]) << "frame " << i;
        }
    }

    QTemporaryDir dir;
};

TEST_F(GifWriterTest, FewColoursDecodeExactlyWithOneImagePerFrameEightyMsAndLoopForever) {
    const std::vector<QImage> images{
        scene(0), scene(2), scene(2), scene(5), scene(13), scene(13, qRgb(0, 255, 0)), scene(0)};
    const DecodedGif gif = write_and_read(images);
    expect_frames_equal(gif, images);
    EXPECT_EQ(gif.delays, std::vector<int>(images.size(), 8));
    EXPECT_EQ(gif.loop_count, 0);
    EXPECT_FALSE(gif.any_local_colours);
    EXPECT_EQ(dib_count(), 0);
}

TEST_F(GifWriterTest, StoresOnlyTheChangedRectangleAndAPixelForARepeatedFrame) {
    const DecodedGif gif = write_and_read({scene(0), scene(2), scene(2), scene(13)});
    ASSERT_EQ(gif.rects.size(), 4u);
    EXPECT_EQ(gif.rects[0], QRect(0, 0, 16, 6));
    EXPECT_EQ(gif.rects[1].top(), 2);
    EXPECT_EQ(gif.rects[1].bottom(), 3);
    EXPECT_LE(gif.rects[1].width(), 5);  // columns 0 to 4 at most: the block moved by 2
    EXPECT_EQ(gif.rects[2], QRect(0, 0, 1, 1));
    EXPECT_TRUE(gif.uses_transparency[2]);
    EXPECT_EQ(gif.frames[2], scene(2));
}

TEST_F(GifWriterTest, ExactlyTwoHundredFiftySixColoursStayExactWithoutATransparentEntry) {
    QImage first(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) first.setPixel(i % 16, i / 16, qRgb(i, 255 - i, (i * 7) & 0xFF));
    QImage second = first;
    second.setPixel(3, 3, first.pixel(9, 9));  // same colours, one pixel moved
    const std::vector<QImage> images{first, second, second, first};
    const DecodedGif gif = write_and_read(images);
    expect_frames_equal(gif, images);
    EXPECT_EQ(gif.global_colours, 256);
    EXPECT_EQ(gif.rects[2], QRect(0, 0, 1, 1));
}

TEST_F(GifWriterTest, TwoColoursStayExactWhicheverColourMapIsChosen) {
    const std::vector<QImage> images{from_rows({"KWKW", "WKWK"}), from_rows({"KWKW", "WKKK"}),
                                     from_rows({"KWKW", "WKKK"})};
    const DecodedGif gif = write_and_read(images);
    expect_frames_equal(gif, images);
    EXPECT_TRUE(gif.global_colours == 2 || gif.global_colours == 4);
}

TEST_F(GifWriterTest, ManyColoursShareOnePaletteAndStayClose) {
    std::vector<QImage> images;
    for (int i = 0; i < 5; ++i) images.push_back(gradient(i * 4));
    images.push_back(images.back());
    const auto encoded = encode_gif_animation(images, 8);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_FALSE(encoded->exact);

    const DecodedGif gif = write_and_read(images);
    ASSERT_TRUE(gif.error.isEmpty());
    ASSERT_EQ(gif.frames.size(), images.size());
    EXPECT_EQ(gif.global_colours, 256);
    EXPECT_FALSE(gif.any_local_colours);
    for (size_t i = 0; i < images.size(); ++i) {
        double total = 0;
        int worst = 0;
        for (int y = 0; y < images[i].height(); ++y) {
            for (int x = 0; x < images[i].width(); ++x) {
                const QRgb a = images[i].pixel(x, y);
                const QRgb b = gif.frames[i].pixel(x, y);
                for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)}) {
                    total += std::abs(d);
                    worst = std::max(worst, std::abs(d));
                }
            }
        }
        EXPECT_LT(total / (images[i].width() * images[i].height() * 3), 3.0) << "frame " << i;
        EXPECT_LT(worst, 40) << "frame " << i;
    }
    // A repeated frame is still a repeated frame: nothing flickers.
    EXPECT_EQ(gif.frames[5], gif.frames[4]);
    EXPECT_EQ(gif.rects[5], QRect(0, 0, 1, 1));
}

TEST_F(GifWriterTest, ManyColoursGiveEachColourOneEntryWhereverAndWheneverItAppears) {
    // 2048 colours; the block leaves and comes back, so every area is drawn after different
    // changes.
    auto picture = [](int block_x) {
        QImage image(64, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool block = x >= block_x && x < block_x + 6 && y >= 10 && y < 20;
                image.setPixel(x, y, block ? qRgb(250, 30, 200) : qRgb(x * 4, y * 8, (x + y) * 2));
            }
        }
        return image;
    };
    std::vector<QImage> images;
    for (int x : {0, 20, 40, 20, 0, 50, 0}) images.push_back(picture(x));
    const DecodedGif gif = write_and_read(images);
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    ASSERT_EQ(gif.frames.size(), images.size());
    std::map<QRgb, QRgb> decoded_as;
    for (size_t i = 0; i < images.size(); ++i) {
        for (int y = 0; y < images[i].height(); ++y) {
            for (int x = 0; x < images[i].width(); ++x) {
                const QRgb source = images[i].pixel(x, y);
                const QRgb shown = gif.frames[i].pixel(x, y);
                const auto [it, added] = decoded_as.emplace(source, shown);
                ASSERT_EQ(it->second, shown)
                    << "frame " << i << " at " << x << "," << y << ": one colour, two entries";
            }
        }
    }
    EXPECT_GT(decoded_as.size(), 256u);
    EXPECT_EQ(gif.frames[4], gif.frames[0]);
    EXPECT_EQ(gif.frames[6], gif.frames[0]);
}

TEST_F(GifWriterTest, NoFramesWritesNothing) {
    QFile::remove(path("none.gif"));
    GifOptions options{1024, 0, 0, 0, 0};
    const auto written = DIBtoGIFAniEx(path("none.gif"), nullptr, 0, &options);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, GifWritten::Nothing);
    EXPECT_FALSE(QFile::exists(path("none.gif")));
}

TEST_F(GifWriterTest, FailuresNameTheFileAndLeaveNoFile) {
    Surface stage;
    stage.set_picture(scene(0));
    GifFrame entry{4096, {}, 2, 10, DCtoDIB(stage, 0, 0, 16, 6 * 15)};
    GifOptions options{1024, 0, 0, 0, 0};
    // A folder that is a file cannot hold anything, whoever runs the test.
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString blocked = path("plain/out.gif");
    const auto written = DIBtoGIFAniEx(blocked, &entry, 1, &options);
    ASSERT_FALSE(written.has_value());
    EXPECT_TRUE(written.error().startsWith(blocked)) << written.error().toStdString();

    DeleteDIB(entry.dib);
    const auto unknown = DIBtoGIFAniEx(path("gone.gif"), &entry, 1, &options);
    ASSERT_FALSE(unknown.has_value());
    EXPECT_FALSE(QFile::exists(path("gone.gif")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"plain"});
}

TEST_F(GifWriterTest, ReplacesAnEarlierFile) {
    QFile old(path("a.gif"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    const DecodedGif gif = write_and_read({scene(0), scene(1)});
    expect_frames_equal(gif, {scene(0), scene(1)});
}

TEST(GifEncoderTest, RefusesFramesOfDifferentSizesAndNoFrames) {
    EXPECT_FALSE(encode_gif_animation(
                     std::vector<QImage>{solid(2, 2, 0xFF000000u), solid(3, 2, 0xFF000000u)}, 8)
                     .has_value());
    EXPECT_FALSE(encode_gif_animation(std::vector<QImage>{}, 8).has_value());
}

TEST(DibTest, CapturesTheWholeSurfaceAndReleasesIt) {
    Surface stage;
    stage.set_picture(scene(4));
    const int before = dib_count();
    const DibHandle handle = DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips());
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(dib_count(), before + 1);
    stage.fill(0xFF000000u);  // the capture keeps the pixels it took
    EXPECT_EQ(dib_image(handle), scene(4));
    DeleteDIB(handle);
    EXPECT_EQ(dib_count(), before);
    EXPECT_TRUE(dib_image(handle).isNull());
    EXPECT_EQ(DCtoDIB(Surface(), 0, 0, 0, 0), 0u);
}

}  // namespace
}  // namespace koma
