#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QImage>

#include "codecs/gif/gif_palette.h"

namespace koma {
namespace {

// A frame with more colours than a GIF palette holds, so that libimagequant does the work.
QImage many_colours() {
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 6, y * 12, (x * y) % 256));
        }
    }
    return image;
}

TEST(QuantiserThreads, ALossyPaletteIsBuiltOnOneThread) {
    using GetThreads = int (*)();
    const auto max_threads =
        reinterpret_cast<GetThreads>(dlsym(RTLD_DEFAULT, "omp_get_max_threads"));
    if (max_threads == nullptr) GTEST_SKIP() << "libimagequant runs without OpenMP here";
    PatchedFrames frames{QSize(40, 20), {FramePatch{QPoint(0, 0), many_colours()}}};
    const auto indexed = index_frames(frames);
    ASSERT_TRUE(indexed.has_value()) << indexed.error().toStdString();
    EXPECT_FALSE(indexed->exact);
    EXPECT_EQ(max_threads(), 1);
}

}  // namespace
}  // namespace koma
