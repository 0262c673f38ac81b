#include "codecs/png/png_decoder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "raster/flatten_alpha.h"
#include "support/image_files.h"

namespace koma {
namespace {

using test::build_png;
using test::PngRecipe;
using test::Samples;

// None: every pixel opaque. Keyed: the top-left pixel is fully transparent, so the picture is
// keyed on it. Partial: the top-left pixel is opaque, others are partly or fully transparent.
enum class Alpha { None, Keyed, Partial };

struct PngCase {
    int colour_type;
    int bit_depth;
    bool interlaced;
    Alpha alpha;
};

std::string case_name(const ::testing::TestParamInfo<PngCase>& info) {
    const PngCase& c = info.param;
    const char* alpha = c.alpha == Alpha::None    ? "opaque"
                        : c.alpha == Alpha::Keyed ? "keyed"
                                                  : "partial";
    return "type" + std::to_string(c.colour_type) + "_depth" + std::to_string(c.bit_depth) +
           (c.interlaced ? "_interlaced_" : "_") + alpha;
}

constexpr int kW = 9;  // 9 x 5 gives every Adam7 pass some pixels
constexpr int kH = 5;

int grey8(int x, int y) { return (x * 37 + y * 71) % 256; }
QRgb rgb8(int x, int y) {
    return qRgb((x * 40 + y * 7) % 256, (x * 11 + y * 60) % 256, (x * 90 + y * 33 + 5) % 256);
}
int alpha8(Alpha alpha, int x, int y) {
    static constexpr int kKeyed[3] = {0, 255, 128};
    static constexpr int kPartial[3] = {255, 128, 0};
    switch (alpha) {
        case Alpha::Keyed:
            return kKeyed[(x + y) % 3];
        case Alpha::Partial:
            return kPartial[(x + y) % 3];
        default:
            return 255;
    }
}
QRgb palette_colour(int i) { return qRgb(i * 50 % 256, i * 90 % 256, (255 + 1024 - i * 30) % 256); }
QByteArray two_bytes(int v) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(v >> 8);
    b[1] = static_cast<char>(v & 0xFF);
    return b;
}

// The PNG for a case and the picture it holds, as non-premultiplied ARGB32.
std::pair<PngRecipe, QImage> make_case(const PngCase& c) {
    PngRecipe recipe;
    recipe.width = kW;
    recipe.height = kH;
    recipe.bit_depth = c.bit_depth;
    recipe.colour_type = c.colour_type;
    recipe.interlaced = c.interlaced;
    QImage expected(kW, kH, QImage::Format_ARGB32);
    const int d = c.bit_depth;
    const int wide = d == 16 ? 257 : 1;

    if (c.colour_type == 0) {
        const auto value = [d](int x, int y) {
            return d == 16 ? grey8(x, y) * 257 : (x * 3 + y * 5) % (1 << d);
        };
        const auto to8 = [d](int v) { return d == 16 ? v / 257 : v * 255 / ((1 << d) - 1); };
        recipe.sample = [value](int x, int y) {
            return Samples{static_cast<uint16_t>(value(x, y))};
        };
        int transparent = -1;
        if (c.alpha != Alpha::None) {
            transparent = c.alpha == Alpha::Keyed ? value(0, 0) : value(1, 0);
            recipe.trns = two_bytes(transparent);
        }
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const int g = to8(value(x, y));
                expected.setPixel(x, y, qRgba(g, g, g, value(x, y) == transparent ? 0 : 255));
            }
    } else if (c.colour_type == 2) {
        recipe.sample = [wide](int x, int y) {
            const QRgb p = rgb8(x, y);
            return Samples{static_cast<uint16_t>(qRed(p) * wide),
                           static_cast<uint16_t>(qGreen(p) * wide),
                           static_cast<uint16_t>(qBlue(p) * wide)};
        };
        QRgb transparent = 0;
        if (c.alpha != Alpha::None) {
            transparent = c.alpha == Alpha::Keyed ? rgb8(0, 0) : rgb8(1, 0);
            recipe.trns = two_bytes(qRed(transparent) * wide) +
                          two_bytes(qGreen(transparent) * wide) +
                          two_bytes(qBlue(transparent) * wide);
        }
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const QRgb p = rgb8(x, y);
                const bool clear = c.alpha != Alpha::None && p == transparent;
                expected.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), clear ? 0 : 255));
            }
    } else if (c.colour_type == 3) {
        const int entries = std::min(1 << d, 16);
        for (int i = 0; i < entries; ++i) {
            const QRgb p = palette_colour(i);
            recipe.plte.append(static_cast<char>(qRed(p)));
            recipe.plte.append(static_cast<char>(qGreen(p)));
            recipe.plte.append(static_cast<char>(qBlue(p)));
        }
        std::vector<int> alphas(static_cast<size_t>(entries), 255);
        if (c.alpha == Alpha::Keyed) {
            alphas[0] = 0;
            alphas[1] = 128;
            recipe.trns = QByteArray("\x00\x80", 2);
        } else if (c.alpha == Alpha::Partial) {
            alphas[1] = 0;
            recipe.trns = QByteArray("\xff\x00", 2);
            if (entries > 2) {
                alphas[2] = 128;
                recipe.trns.append('\x80');
            }
        }
        const auto index = [entries](int x, int y) { return (x + 2 * y) % entries; };
        recipe.sample = [index](int x, int y) {
            return Samples{static_cast<uint16_t>(index(x, y))};
        };
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const int i = index(x, y);
                const QRgb p = palette_colour(i);
                expected.setPixel(
                    x, y, qRgba(qRed(p), qGreen(p), qBlue(p), alphas[static_cast<size_t>(i)]));
            }
    } else {
        const bool grey = c.colour_type == 4;
        recipe.sample = [grey, wide, alpha = c.alpha](int x, int y) {
            const auto a = static_cast<uint16_t>(alpha8(alpha, x, y) * wide);
            if (grey) return Samples{static_cast<uint16_t>(grey8(x, y) * wide), a};
            const QRgb p = rgb8(x, y);
            return Samples{static_cast<uint16_t>(qRed(p) * wide),
                           static_cast<uint16_t>(qGreen(p) * wide),
                           static_cast<uint16_t>(qBlue(p) * wide), a};
        };
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const QRgb p = grey ? qRgb(grey8(x, y), grey8(x, y), grey8(x, y)) : rgb8(x, y);
                expected.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), alpha8(c.alpha, x, y)));
            }
    }
    return {recipe, expected};
}

std::vector<PngCase> all_cases() {
    const std::vector<std::pair<int, std::vector<int>>> depths{
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    std::vector<PngCase> cases;
    for (const auto& [type, list] : depths)
        for (int depth : list)
            for (bool interlaced : {false, true})
                for (Alpha alpha : {Alpha::None, Alpha::Keyed, Alpha::Partial})
                    cases.push_back({type, depth, interlaced, alpha});
    return cases;
}

class PngVariants : public ::testing::TestWithParam<PngCase> {
  protected:
    QTemporaryDir dir;
};

TEST_P(PngVariants, DecodesToThePictureFlattenedOverWhite) {
    const auto [recipe, expected] = make_case(GetParam());
    const QString path = dir.filePath(QStringLiteral("v.png"));
    ASSERT_TRUE(test::write_file(path, build_png(recipe)));
    Surface surface;
    surface.resize_pixels(kW, kH, qRgb(1, 2, 3));
    ASSERT_EQ(decode_png_into(path, surface), 0);
    const QImage want = flatten_over_white(expected);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(surface.pixel(x, y), want.pixel(x, y)) << "at " << x << "," << y;
    if (GetParam().alpha == Alpha::Keyed) {
        // The key is the top-left pixel; nothing opaque shares it.
        const QRgb key = surface.pixel(0, 0);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                EXPECT_EQ(surface.pixel(x, y) == key, qAlpha(expected.pixel(x, y)) == 0);
    }
}

INSTANTIATE_TEST_SUITE_P(AllTypesAndDepths, PngVariants, ::testing::ValuesIn(all_cases()),
                         case_name);

class PngDamage : public ::testing::Test {
  protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("d.png"));
        EXPECT_TRUE(test::write_file(path, bytes));
        return path;
    }
    static QByteArray good() { return build_png(make_case({2, 8, false, Alpha::None}).first); }
    // The surface a failed decode must leave alone.
    Surface untouched() {
        Surface s;
        s.resize_pixels(kW, kH, qRgb(9, 8, 7));
        return s;
    }
    QTemporaryDir dir;
};

TEST_F(PngDamage, ARefusedFileLeavesTheSurfaceAsItWas) {
    QByteArray bad_crc = good();
    const qsizetype crc_at = bad_crc.size() - 12 - 4;  // IDAT's CRC, just before IEND
    bad_crc[crc_at] = static_cast<char>(bad_crc[crc_at] ^ 0x55);

    QByteArray too_few_rows = good();  // the header says 9 x 5, the data holds 2 rows
    {
        PngRecipe recipe = make_case({2, 8, false, Alpha::None}).first;
        recipe.height = 2;
        too_few_rows = build_png(recipe);
        too_few_rows.replace(16 + 4, 4, test::be32(kH));
        const QByteArray ihdr = too_few_rows.mid(12, 17);
        too_few_rows.replace(29, 4, test::be32(test::crc32_of(ihdr)));
    }
    const std::vector<std::pair<const char*, QByteArray>> files{
        {"truncated", good().left(good().size() / 2)},
        {"bad IDAT crc", bad_crc},
        {"fewer rows than the header", too_few_rows},
        {"bmp bytes", test::build_bmp(1, 1, 24, 0, {}, QByteArray(4, '\0'))},
        {"empty", QByteArray()},
    };
    for (const auto& [name, bytes] : files) {
        Surface surface = untouched();
        EXPECT_NE(decode_png_into(write(bytes), surface), 0) << name;
        EXPECT_EQ(surface.image(), untouched().image()) << name;
    }
    Surface surface = untouched();
    EXPECT_EQ(decode_png_into(dir.filePath(QStringLiteral("missing.png")), surface),
              kPngCannotOpen);
}

TEST_F(PngDamage, HugeHeadersAreRefusedBeforeDecoding) {
    // Only the header is there: a decoder that trusted it would try to allocate gigabytes.
    for (const auto& [w, h] : std::vector<std::pair<uint32_t, uint32_t>>{
             {65536, 4}, {16385, 1}, {9000, 9000}, {100000, 100000}}) {
        QByteArray png = good();
        png.replace(16, 8, test::be32(w) + test::be32(h));
        png.replace(29, 4, test::be32(test::crc32_of(png.mid(12, 17))));
        Surface surface = untouched();
        EXPECT_NE(decode_png_into(write(png), surface), 0) << w << "x" << h;
        EXPECT_EQ(surface.image(), untouched().image());
    }
}

TEST_F(PngDamage, PaintsOneToOneAtTheTopLeftClippedToTheSurface) {
    Surface surface;
    surface.resize_pixels(12, 3, qRgb(9, 8, 7));
    ASSERT_EQ(decode_png_into(write(good()), surface), 0);
    EXPECT_EQ(surface.width_px(), 12);
    EXPECT_EQ(surface.pixel(8, 2), rgb8(8, 2));
    EXPECT_EQ(surface.pixel(9, 0), qRgb(9, 8, 7));
}

}  // namespace
}  // namespace koma
