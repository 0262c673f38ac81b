#include "compose/play_order.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

std::vector<int> steps_of(const std::vector<PlayedFrame>& order) {
    std::vector<int> steps;
    for (const PlayedFrame& frame : order) steps.push_back(frame.step);
    return steps;
}

TEST(PlayOrder, ForwardPlaysEveryStepOnceEachForItsOwnTimeOrTheFrameTime) {
    ProjectState project;
    project.pattern_anime = QStringLiteral("1231");
    project.export_settings.frame_ms = 90;
    project.step_ms[1] = 400;
    project.step_ms[3] = 25;
    project.step_ms[4] = 500;  // past the pattern's end: not played
    EXPECT_EQ(play_order(project), (std::vector<PlayedFrame>{{0, 90}, {1, 400}, {2, 90}, {3, 25}}));

    project.pattern_anime.clear();
    EXPECT_TRUE(play_order(project).empty());
    // A longer pattern than the tables is cut at step 90.
    project.pattern_anime = QString(100, QLatin1Char('1'));
    EXPECT_EQ(play_order(project).size(), 91u);
}

TEST(PlayOrder, PingPongGoesThereAndBackWithoutRepeatingTheEnds) {
    ProjectState project;
    project.direction = PlayDirection::PingPong;
    project.step_ms[3] = 120;
    project.pattern_anime = QStringLiteral("12345");
    const auto order = play_order(project);
    EXPECT_EQ(steps_of(order), (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1}));
    // Each frame keeps its step's time, on the way back too.
    EXPECT_EQ(order[3].ms, 120);
    EXPECT_EQ(order[5].ms, 120);
    EXPECT_EQ(order[4].ms, 80);

    project.pattern_anime = QStringLiteral("12");
    EXPECT_EQ(steps_of(play_order(project)), (std::vector<int>{0, 1}));
    project.pattern_anime = QStringLiteral("1");
    EXPECT_EQ(steps_of(play_order(project)), (std::vector<int>{0}));
    project.pattern_anime = QString(91, QLatin1Char('1'));
    EXPECT_EQ(play_order(project).size(), 180u);
}

TEST(PlayOrder, NextStepKeepsPlayingWhenThePatternChangesUnderIt) {
    bool returning = false;
    // Forward brings a step past a shortened pattern's end back in, as the preview always did.
    EXPECT_EQ(next_played_step(5, 3, PlayDirection::Forward, returning), 0);
    EXPECT_EQ(next_played_step(4, 0, PlayDirection::Forward, returning), 4);

    // Ping-pong past the end turns back from the last step.
    returning = false;
    EXPECT_EQ(next_played_step(7, 3, PlayDirection::PingPong, returning), 1);
    EXPECT_TRUE(returning);
    EXPECT_EQ(next_played_step(1, 3, PlayDirection::PingPong, returning), 0);
    EXPECT_FALSE(returning);
    EXPECT_EQ(next_played_step(0, 3, PlayDirection::PingPong, returning), 1);

    // A play on its way back that is switched to forward goes up again.
    returning = true;
    EXPECT_EQ(next_played_step(2, 5, PlayDirection::Forward, returning), 3);
    EXPECT_FALSE(returning);
}

}  // namespace
}  // namespace koma
