#include "codecs/gif/nearest_colour.h"

#include <gtest/gtest.h>

#include <random>

namespace koma {
namespace {

// The nearest entry by trying every one, the lowest index winning a tie.
int nearest_by_trying_all(const std::vector<QRgb>& palette, QRgb colour) {
    int best = -1;
    int best_distance = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (best < 0 || d < best_distance) {
            best = static_cast<int>(i);
            best_distance = d;
        }
    }
    return best;
}

std::vector<QRgb> random_palette(std::mt19937& random, int size) {
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<QRgb> palette;
    for (int i = 0; i < size; ++i) {
        // Few greens, so that many entries share one and the search must look past it.
        palette.push_back(qRgb(channel(random), channel(random) & 0xE0, channel(random)));
    }
    return palette;
}

TEST(NearestColourTest, FindsTheNearestEntryAsTryingEveryEntryDoes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> any_colour(0, 0xFFFFFFu);
    for (int size : {1, 2, 17, 255, 256}) {
        const std::vector<QRgb> palette = random_palette(random, size);
        NearestColour nearest(palette);
        for (int i = 0; i < 5000; ++i) {
            const QRgb colour = 0xFF000000u | any_colour(random);
            ASSERT_EQ(nearest.index_of(colour), nearest_by_trying_all(palette, colour))
                << "palette of " << size << ", colour " << std::hex << colour;
        }
    }
}

TEST(NearestColourTest, EqualDistancesGoToTheLowestIndex) {
    // Entries 1 and 3 repeat entries 0 and 2; 120 lies as near to 100 as to 140 in green.
    const std::vector<QRgb> palette{qRgb(0, 100, 0), qRgb(0, 100, 0), qRgb(0, 140, 0),
                                    qRgb(0, 140, 0), qRgb(0, 120, 200)};
    NearestColour nearest(palette);
    EXPECT_EQ(nearest.index_of(qRgb(0, 100, 0)), 0);
    EXPECT_EQ(nearest.index_of(qRgb(0, 140, 0)), 2);
    EXPECT_EQ(nearest.index_of(qRgb(0, 120, 0)), 0);
    EXPECT_EQ(nearest.index_of(qRgb(0, 121, 0)), 2);
    EXPECT_EQ(nearest.index_of(qRgb(0, 120, 190)), 4);
}

TEST(NearestColourTest, AColourKeepsItsAnswerWhateverWasAskedBeforeAndIgnoresAlpha) {
    std::mt19937 random(11);
    const std::vector<QRgb> palette = random_palette(random, 200);
    // Enough distinct colours that the remembered answers are moved several times.
    std::vector<QRgb> colours;
    for (int i = 0; i < 20000; ++i) colours.push_back(0xFF000000u | (i * 0x9E37u & 0xFFFFFFu));
    NearestColour forwards(palette);
    std::vector<int> first;
    for (QRgb c : colours) first.push_back(forwards.index_of(c));

    NearestColour backwards(palette);
    for (size_t i = colours.size(); i-- > 0;) {
        ASSERT_EQ(backwards.index_of(colours[i] & 0x00FFFFFFu), first[i]) << i;
    }
    for (size_t i = 0; i < colours.size(); i += 97) {
        ASSERT_EQ(forwards.index_of(colours[i]), first[i]) << i;
        ASSERT_EQ(first[i], nearest_by_trying_all(palette, colours[i])) << i;
    }
}

}  // namespace
}  // namespace koma
