#include <gtest/gtest.h>

#include <barrier>
#include <thread>
#include <vector>

#include "codecs/gif/dib_capture.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

// Two exports capturing stages of one size at the same time, step for step, as several state
// files exported at once do: each hands on exactly the patches it would hand on alone.
TEST(DibThreadsTest, CapturesInOtherThreadsDoNotChangeAThreadsPatches) {
    const std::vector<std::vector<QImage>> walks{
        {from_rows({"RWWW", "WWWW"}), from_rows({"WRWW", "WWWW"}), from_rows({"WWRW", "WWWW"})},
        {from_rows({"BBBB", "KKKK"}), from_rows({"BBBB", "KKKG"}), from_rows({"GBBB", "KKKG"})}};
    std::barrier step(2);
    std::vector<std::vector<FramePatch>> patches(2);
    const auto walk = [&](size_t which) {
        Surface stage;
        std::vector<DibHandle> handles;
        for (const QImage& picture : walks[which]) {
            stage.set_picture(picture);
            // Both threads capture step k before either captures step k + 1.
            step.arrive_and_wait();
            handles.push_back(DCtoDIB(stage, 0, 0, stage.width_px(), stage.height_twips()));
            step.arrive_and_wait();
        }
        auto frames = dib_frames(handles);
        if (frames) patches[which] = frames->patches;
        for (DibHandle h : handles) DeleteDIB(h);
    };
    std::thread other(walk, 1);
    walk(0);
    other.join();

    ASSERT_EQ(patches[0].size(), 3u);
    EXPECT_EQ(patches[0][1].at, QPoint(0, 0));
    EXPECT_EQ(patches[0][1].pixels, from_rows({"WR"}));
    EXPECT_EQ(patches[0][2].at, QPoint(1, 0));
    EXPECT_EQ(patches[0][2].pixels, from_rows({"WR"}));
    ASSERT_EQ(patches[1].size(), 3u);
    EXPECT_EQ(patches[1][1].at, QPoint(3, 1));
    EXPECT_EQ(patches[1][1].pixels, from_rows({"G"}));
    EXPECT_EQ(patches[1][2].at, QPoint(0, 0));
    EXPECT_EQ(patches[1][2].pixels, from_rows({"G"}));
    EXPECT_EQ(dib_count(), 0);
}

}  // namespace
}  // namespace koma
