#include "compose/play_order.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

TEST(PlayOrder, ForwardOrThereAndBackEachStepForItsOwnTimeOrTheFrameTime) {
    ProjectState project;
    project.pattern_anime = QStringLiteral("12345");
    project.export_settings.frame_ms = 90;
    project.step_ms[1] = 400;
    project.step_ms[5] = 500;  // past the pattern's end: not played
    EXPECT_EQ(play_order(project),
              (std::vector<PlayedFrame>{{0, 90}, {1, 400}, {2, 90}, {3, 90}, {4, 90}}));

    project.direction = PlayDirection::PingPong;
    EXPECT_EQ(play_order(project),
              (std::vector<PlayedFrame>{
                  {0, 90}, {1, 400}, {2, 90}, {3, 90}, {4, 90}, {3, 90}, {2, 90}, {1, 400}}));
    project.pattern_anime = QStringLiteral("12");
    EXPECT_EQ(play_order(project), (std::vector<PlayedFrame>{{0, 90}, {1, 400}}));
    project.pattern_anime = QStringLiteral("1");
    EXPECT_EQ(play_order(project), (std::vector<PlayedFrame>{{0, 90}}));
    project.pattern_anime = QString(95, QLatin1Char('1'));  // cut at the tables' 91 steps
    EXPECT_EQ(play_order(project).size(), 180u);
    project.pattern_anime.clear();
    EXPECT_TRUE(play_order(project).empty());
}

}  // namespace
}  // namespace koma
