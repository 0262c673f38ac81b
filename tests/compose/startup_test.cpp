#include "compose/startup.h"

#include <gtest/gtest.h>

#include "model/controls.h"

namespace koma {
namespace {

TEST(Startup, SharedVariablesAndControlsStartAsTheWindowIsDesigned) {
    EditingModel m(QStringLiteral("/opt/koma/bin"));
    m.sc_bar.set_value(7);
    m.fine_adjust = 1;
    m.bg_color = 5;
    Form1_Load(m);
    EXPECT_EQ(m.pattern_pos, 0);
    EXPECT_EQ(m.anim_running, 0);
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_EQ(m.adjust_mode, 0);
    EXPECT_EQ(m.zoom_open, 0);
    EXPECT_EQ(m.gif_mode, 0);
    EXPECT_EQ(m.sc_bar.value(), 0);
    EXPECT_EQ(m.bg_color, 0xFFFFFFu);
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_EQ(m.stage_width, 80);
    EXPECT_EQ(m.stage_height, 50);
    EXPECT_EQ(m.path_ref.caption, "/opt/koma/bin");
    EXPECT_EQ(m.export_lists.path(), "/opt/koma/bin");
    EXPECT_FALSE(m.export_lists.drive().isEmpty());
    EXPECT_EQ(m.timer1_interval, 0);
    EXPECT_EQ(m.pattern_anime.text(), "");
    EXPECT_EQ(m.basename.text(), "sample");
    for (const TextBox* box : {&m.size_move, &m.offset_x, &m.offset_y, &m.total_adjust_x,
                               &m.total_adjust_y, &m.this_adjust_x, &m.this_adjust_y}) {
        EXPECT_EQ(box->text(), "0");
    }
    EXPECT_EQ(m.anime.caption, "アニメテスト");
    EXPECT_EQ(m.bt_set2.caption, "微調整ＯＮ");
    EXPECT_EQ(m.bt_zoom.caption, "ズーム");
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
    EXPECT_EQ(m.adjust_x.min(), -60);
    EXPECT_EQ(m.adjust_x.max(), 100);
    EXPECT_EQ(m.adjust_y.min(), -100);
    EXPECT_EQ(m.adjust_y.max(), 100);
    EXPECT_EQ(m.sc_bar.min(), -15);
    EXPECT_EQ(m.sc_bar.max(), 15);
    EXPECT_EQ(m.win_main.width_px(), 462);
    EXPECT_EQ(m.win_main.height_px(), 110);
    EXPECT_EQ(m.pic[0].width_twips(), 462 * 15);
    EXPECT_EQ(m.pic[5].width_px(), 80);
    EXPECT_EQ(m.pic[10].width_px(), 454);
    EXPECT_EQ(m.pic[10].height_px(), 94);
    EXPECT_EQ(m.pic[3].pixel(0, 0), kWindowColour);
    EXPECT_EQ(m.step_dx[90], 0);
    EXPECT_EQ(m.slot_files.size(), 12u);
    EXPECT_EQ(m.pointer_k_left, 42);
}

TEST(Startup, PointerArrowIsASolidRedTriangle) {
    EditingModel m(QStringLiteral("/"));
    Form1_Load(m);
    const char* expected[8] = {"RRRRRRR.", "RRRRRRR.", ".RRRRR..", ".RRRRR..",
                               "..RRR...", "..RRR...", "...R....", "...R...."};
    for (int y = 0; y < 8; ++y) {
        std::string row;
        for (int x = 0; x < 8; ++x) {
            const QRgb c = m.pointer_k.pixel(x, y);
            row += c == qRgb(255, 0, 0) ? 'R' : (c == kFaceColour ? '.' : '?');
        }
        EXPECT_EQ(row, expected[y]) << "row " << y;
    }
}

TEST(Controls, ScrollBarRunsItsHandlerOnlyOnRealChangesAndStaysInRange) {
    ScrollBar bar(-10, 10, 0);
    int runs = 0;
    bar.on_change = [&] { ++runs; };
    bar.set_value(0);
    EXPECT_EQ(runs, 0);
    bar.set_value(4);
    EXPECT_EQ(runs, 1);
    bar.set_value(99);
    EXPECT_EQ(bar.value(), 10);
    EXPECT_EQ(runs, 2);
    bar.set_max(6);  // the value follows the shrinking range, and that is a change
    EXPECT_EQ(bar.value(), 6);
    EXPECT_EQ(runs, 3);
    bar.set_min(-2);
    EXPECT_EQ(runs, 3);
    bar.set_min(20);
    EXPECT_EQ(bar.max(), 20);
    EXPECT_EQ(bar.value(), 20);
}

TEST(Controls, TextBoxCutsToItsLimitAndKeepsTheSelectionInside) {
    TextBox box(QString(), 5);
    int runs = 0;
    box.on_change = [&] { ++runs; };
    box.set_text(QStringLiteral("1234567"));
    EXPECT_EQ(box.text(), "12345");
    EXPECT_EQ(runs, 1);
    box.set_text(QStringLiteral("123456"));  // cut to the same text: no change
    EXPECT_EQ(runs, 1);
    box.select(3, 1);
    box.set_text(QStringLiteral("12"));
    EXPECT_EQ(box.sel_start(), 2);
    EXPECT_EQ(box.sel_length(), 0);
    box.select(-4, 99);
    EXPECT_EQ(box.sel_start(), 0);
    EXPECT_EQ(box.sel_length(), 2);
}

}  // namespace
}  // namespace koma
