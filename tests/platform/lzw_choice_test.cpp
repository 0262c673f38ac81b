#include "platform/lzw_choice.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <vector>

#include "platform/gif_encoder.h"
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

TEST(LzwChoiceTest, ChosenValuesAreTheColourOrTransparentAndOnlyWhereFree) {
    std::mt19937 random(3);
    std::vector<uint8_t> colours(2000), free(2000);
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = static_cast<uint8_t>(1 + (i / 7 + random() % 2) % 5);
        free[i] = random() % 3 != 0;
    }
    const std::vector<uint8_t> chosen = choose_for_lzw(colours, free, colours, 0, 3);
    ASSERT_EQ(chosen.size(), colours.size());
    for (size_t i = 0; i < colours.size(); ++i) {
        if (!free[i]) {
            EXPECT_EQ(chosen[i], colours[i]) << i;
        } else {
            EXPECT_TRUE(chosen[i] == colours[i] || chosen[i] == 0) << i;
        }
    }
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

    QTemporaryDir dir;
    QFile file(dir.filePath("p.gif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encoded->bytes);
    file.close();
    const test::DecodedGif gif = test::decode_gif(file.fileName());
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
