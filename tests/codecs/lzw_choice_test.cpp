#include "codecs/gif/lzw_choice.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <random>
#include <string>
#include <vector>

#include "codecs/gif/gif_encoder.h"
#include "support/gif_reader.h"
#include "support/pixels.h"

namespace koma {
namespace {

int append(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

/// The bytes giflib writes for one image of `pixels` (as one row) after its descriptor.
size_t giflib_data_size(const std::vector<uint8_t>& pixels, int bits) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append, &error);
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    EXPECT_EQ(EGifPutScreenDesc(gif, static_cast<int>(pixels.size()), 1, 8, 0, map), GIF_OK);
    GifFreeMapObject(map);
    const size_t before = out.size();
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, static_cast<int>(pixels.size()), 1, false, nullptr),
              GIF_OK);
    std::vector<uint8_t> line = pixels;
    EXPECT_EQ(EGifPutLine(gif, line.data(), static_cast<int>(line.size())), GIF_OK);
    const size_t written = out.size() - before - 10;  // the image descriptor
    EGifCloseFile(gif, &error);
    return written;
}

TEST(LzwDataSizeTest, CountsExactlyWhatGiflibWrites) {
    std::mt19937 random(7);
    for (int bits : {1, 2, 4, 8}) {
        // Short and long blocks, noisy and repetitive, past the 4096-code table reset.
        for (size_t length : {1u, 2u, 300u, 5000u, 40000u}) {
            for (int spread : {1, 3, 1 << bits}) {
                std::uniform_int_distribution<int> value(0, std::min(spread, 1 << bits) - 1);
                std::vector<uint8_t> pixels(length);
                for (uint8_t& p : pixels) p = static_cast<uint8_t>(value(random));
                EXPECT_EQ(lzw_data_size(pixels, bits), giflib_data_size(pixels, bits))
                    << "bits " << bits << " length " << length << " spread " << spread;
            }
        }
    }
}

/// The image data giflib writes for one image of `pixels` (as one row), descriptor left out.
std::vector<uint8_t> giflib_data(const std::vector<uint8_t>& pixels, int bits) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append, &error);
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    EXPECT_EQ(EGifPutScreenDesc(gif, static_cast<int>(pixels.size()), 1, 8, 0, map), GIF_OK);
    GifFreeMapObject(map);
    // The image descriptor is 10 bytes; giflib writes the code size byte with it.
    const size_t start = out.size() + 10;
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, static_cast<int>(pixels.size()), 1, false, nullptr),
              GIF_OK);
    std::vector<uint8_t> line = pixels;
    EXPECT_EQ(EGifPutLine(gif, line.data(), static_cast<int>(line.size())), GIF_OK);
    std::vector<uint8_t> data(out.begin() + static_cast<ptrdiff_t>(start), out.end());
    EGifCloseFile(gif, &error);
    return data;
}

TEST(LzwDataTest, WritesWhatGiflibWritesByteForByte) {
    std::mt19937 random(11);
    for (int bits : {2, 3, 5, 8}) {
        for (size_t length : {1u, 2u, 255u, 1000u, 30000u}) {
            for (int spread : {1, 2, 1 << bits}) {
                std::uniform_int_distribution<int> value(0, spread - 1);
                std::vector<uint8_t> pixels(length);
                for (uint8_t& p : pixels) p = static_cast<uint8_t>(value(random));
                std::vector<uint8_t> ours{0xAB};  // appended after what is there
                append_lzw_data(pixels, bits, ours);
                const std::vector<uint8_t> theirs = giflib_data(pixels, bits);
                ASSERT_EQ(ours.size(), theirs.size() + 1)
                    << "bits " << bits << " length " << length << " spread " << spread;
                EXPECT_TRUE(std::equal(theirs.begin(), theirs.end(), ours.begin() + 1))
                    << "bits " << bits << " length " << length << " spread " << spread;
                EXPECT_EQ(theirs.size(), lzw_data_size(pixels, bits));
            }
        }
    }
}

int bits_for(const std::vector<uint8_t>& pixels) {
    return std::max(
        2, static_cast<int>(std::bit_width(*std::max_element(pixels.begin(), pixels.end()))));
}

TEST(ChooseTransparencyTest, KeepsChangedPixelsAndReportsTheSizeOfWhatItReturns) {
    std::mt19937 random(3);
    for (size_t width : {1u, 7u, 40u}) {
        std::vector<uint8_t> colours(40 * 12), unchanged(colours.size());
        for (size_t i = 0; i < colours.size(); ++i) {
            colours[i] = static_cast<uint8_t>(1 + (i / 5 + random() % 2) % 6);
            unchanged[i] = random() % 4 != 0;
        }
        const LzwChoice choice = choose_transparency(colours, unchanged, width, 0);
        ASSERT_EQ(choice.pixels.size(), colours.size());
        bool any_transparent = false;
        for (size_t i = 0; i < colours.size(); ++i) {
            if (!unchanged[i]) {
                EXPECT_EQ(choice.pixels[i], colours[i]) << i;
            } else {
                EXPECT_TRUE(choice.pixels[i] == colours[i] || choice.pixels[i] == 0) << i;
            }
            any_transparent |= choice.pixels[i] == 0;
        }
        EXPECT_EQ(choice.uses_transparent, any_transparent);
        EXPECT_EQ(choice.data_size, lzw_data_size(choice.pixels, bits_for(choice.pixels)));
        EXPECT_LE(choice.data_size, lzw_data_size(colours, bits_for(colours)));
    }
    // Nothing unchanged: nothing to choose.
    const std::vector<uint8_t> colours{1, 2, 3, 1}, none(4, 0);
    const LzwChoice choice = choose_transparency(colours, none, 2, 0);
    EXPECT_EQ(choice.pixels, colours);
    EXPECT_FALSE(choice.uses_transparent);
}

TEST(ChooseTransparencyTest, RowEndsOfSeveralColoursBecomeTransparentAndTheMiddleKeepsItsColour) {
    // A figure over a background whose row ends change colour from row to row, with a gap of
    // colour 2 inside the figure. Letters are changed pixels (A = 1, B = 2, C = 3), digits
    // unchanged ones; the gap continues the figure's 2s, so it is best stored in its colour.
    const std::vector<std::string> rows{
        "6B222222BCC4", "6B222222BBC7", "5B222222BBC5", "5A222222BAB5", "7B222222BBC7",
        "6B222222BBC7", "7B222222BCC6", "6B222222CBC4", "4B222222BBC7",
    };
    std::vector<uint8_t> colours, unchanged, ends_clear, all_clear;
    for (const std::string& row : rows) {
        for (size_t x = 0; x < row.size(); ++x) {
            const char c = row[x];
            const bool changed = c >= 'A' && c <= 'C';
            const auto colour = static_cast<uint8_t>(changed ? c - 'A' + 1 : c - '0');
            const bool row_end = x == 0 || x == row.size() - 1;
            colours.push_back(colour);
            unchanged.push_back(!changed);
            ends_clear.push_back(!changed && row_end ? 0 : colour);
            all_clear.push_back(!changed ? 0 : colour);
        }
    }
    std::vector<uint8_t> middle_clear(colours.size());  // the opposite split
    for (size_t i = 0; i < colours.size(); ++i) {
        middle_clear[i] = unchanged[i] && ends_clear[i] != 0 ? 0 : colours[i];
    }
    auto size = [](const std::vector<uint8_t>& pixels) {
        return lzw_data_size(pixels, bits_for(pixels));
    };
    const size_t ends_size = size(ends_clear);
    ASSERT_LT(ends_size, size(colours));
    ASSERT_LT(ends_size, size(all_clear));
    ASSERT_LT(ends_size, size(middle_clear));

    const LzwChoice choice = choose_transparency(colours, unchanged, rows[0].size(), 0);
    EXPECT_EQ(choice.pixels, ends_clear);
    EXPECT_EQ(choice.data_size, ends_size);
    EXPECT_TRUE(choice.uses_transparent);
}

test::DecodedGif decode(const QByteArray& bytes) {
    QTemporaryDir dir;
    QFile file(dir.filePath("a.gif"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    return test::decode_gif(file.fileName());
}

TEST(PatchedEncoderTest, TransparentRunsDecodeToExactlyTheFrames) {
    // A background of seven colours that change along every row and from row to row, with a
    // figure of two colours; each step moves two red marks, so every stored rectangle is mostly
    // unchanged runs of several colours, cheaper stored transparent.
    const QRgb background[] = {qRgb(10, 20, 30),   qRgb(200, 30, 40), qRgb(30, 200, 40),
                               qRgb(40, 30, 200),  qRgb(220, 220, 0), qRgb(0, 220, 220),
                               qRgb(250, 250, 250)};
    std::vector<QImage> images;
    for (int step = 0; step < 8; ++step) {
        QImage image(30, 12, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool figure = x >= 10 && x < 20 && y >= 3 && y < 9;
                const QRgb figure_colour = (x + y) % 3 == 0 ? qRgb(0, 0, 0) : qRgb(255, 0, 255);
                image.setPixel(x, y, figure ? figure_colour : background[(x / 3 + y * 2) % 7]);
            }
        }
        image.setPixel(2 + step, 2, qRgb(255, 0, 0));
        image.setPixel(27 - step, 9, qRgb(255, 0, 0));
        images.push_back(image);
    }
    const auto encoded = encode_gif_animation(images, 8);
    ASSERT_TRUE(encoded.has_value()) << encoded.error().toStdString();
    const test::DecodedGif gif = decode(encoded->bytes);
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    ASSERT_EQ(gif.frames.size(), images.size());
    int transparent = 0;
    for (size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(gif.frames[i], images[i]) << "frame " << i;
        transparent += gif.uses_transparency[i] ? 1 : 0;
    }
    EXPECT_GT(transparent, 0);
}

TEST(PatchedEncoderTest, PatchesLargerThanTheChangeStillStoreOnlyTheChange) {
    const QImage first = test::from_rows({"WWWWWW", "WRWWWW", "WWWWWW", "WWWWWW"});
    const QImage second = test::from_rows({"WWWWWW", "WWWWWW", "WWWWGW", "WWWWWW"});
    PatchedFrames frames;
    frames.size = first.size();
    frames.patches = {
        {QPoint(0, 0), first}, {QPoint(0, 0), second}, {QPoint(2, 1), second.copy(2, 1, 3, 2)}, {}};
    const auto encoded = encode_gif_animation(frames, 8);
    ASSERT_TRUE(encoded.has_value()) << encoded.error().toStdString();
    EXPECT_TRUE(encoded->exact);

    const test::DecodedGif gif = decode(encoded->bytes);
    ASSERT_EQ(gif.frames.size(), 4u);
    EXPECT_EQ(gif.frames[0], first);
    EXPECT_EQ(gif.frames[1], second);
    EXPECT_EQ(gif.frames[2], second);
    EXPECT_EQ(gif.frames[3], second);
    EXPECT_EQ(gif.rects[1], QRect(1, 1, 4, 2));  // from the red pixel to the green one
    EXPECT_EQ(gif.rects[2], QRect(0, 0, 1, 1));  // the patch repainted what was there
    EXPECT_EQ(gif.rects[3], QRect(0, 0, 1, 1));

    frames.patches[0] = {QPoint(0, 0), first.copy(0, 0, 6, 3)};  // not the whole frame
    EXPECT_FALSE(encode_gif_animation(frames, 8).has_value());
}

}  // namespace
}  // namespace koma
