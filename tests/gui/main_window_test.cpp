#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "support/pixels.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        window = test::open_main_window(model);
    }
    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
};

TEST_F(MainWindowTest, LayoutCaptionsAndStartValues) {
    EXPECT_EQ(window->windowTitle(), "ムクリ工房簡易アニメータ");
    EXPECT_EQ(window->size(), QSize(957, 751));
    EXPECT_EQ(window->win_main->geometry(), QRect(40, 152, 462, 110));
    EXPECT_EQ(window->pic[0]->geometry(), QRect(40, 8, 462, 110));
    EXPECT_EQ(window->pic[9]->geometry(), QRect(832, 304, 80, 80));
    EXPECT_EQ(window->pic[10]->geometry(), QRect(48, 320, 454, 94));
    EXPECT_EQ(window->pattern_anime->geometry(), QRect(40, 544, 225, 25));
    EXPECT_EQ(window->pointer_k->geometry(), QRect(42, 536, 8, 8));
    EXPECT_EQ(window->bt_exec->geometry(), QRect(824, 552, 121, 113));
    EXPECT_EQ(window->adjust_y->geometry(), QRect(8, 152, 25, 113));
    EXPECT_EQ(window->adjust_x->minimum(), -60);
    EXPECT_EQ(window->adjust_x->maximum(), 100);
    EXPECT_EQ(window->sc_bar->minimum(), -15);
    EXPECT_EQ(window->basename->text(), "sample");
    EXPECT_EQ(window->size_move->text(), "0");
    EXPECT_EQ(window->anime->text().remove(QLatin1Char('\n')), "アニメテスト");
    EXPECT_EQ(window->bt_exec->text().remove(QLatin1Char('\n')), "コマ作成");
    EXPECT_FALSE(window->output_bmp->isVisible());
    EXPECT_TRUE(window->output_GIF->isVisible());
    EXPECT_EQ(window->output_GIF->text(), "GIF");
}

TEST_F(MainWindowTest, TypedPatternReachesTheModelCutTo91) {
    window->pattern_anime->setFocus();
    QTest::keyClicks(window->pattern_anime, QString(100, QLatin1Char('3')));
    EXPECT_EQ(model.pattern_anime.text(), QString(91, QLatin1Char('3')));
}

TEST_F(MainWindowTest, TheBaseNameBoxTakesNoSeparatorOrControlCharacter) {
    window->basename->setFocus();
    window->basename->end(false);
    QTest::keyClicks(window->basename, QStringLiteral("/.\\x"));
    EXPECT_EQ(window->basename->text(), "sample.x");
    EXPECT_EQ(model.basename.text(), "sample.x");
    // Pasting goes through the same check.
    for (const QString& pasted : {QStringLiteral("../up"), QStringLiteral("a\x01")}) {
        window->basename->selectAll();
        window->basename->insert(pasted);
        EXPECT_EQ(window->basename->text(), "sample.x");
    }
}

TEST_F(MainWindowTest, WindowShowsTheModelsSurfacesAndControlValues) {
    model.win_main.fill(qRgb(0, 0, 255));
    model.adjust_x.set_value(17);
    model.total_adjust_x.set_text(QStringLiteral("-4"));
    model.output_bmp.visible = true;
    model.notify();
    EXPECT_EQ(window->adjust_x->value(), 17);
    EXPECT_EQ(window->total_adjust_x->text(), "-4");
    EXPECT_TRUE(window->output_bmp->isVisible());
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixel(40 + 10, 152 + 10), qRgb(0, 0, 255));
    // The pointer arrow: its top row is red from column 0 to 6, its tip at column 3 of row 7.
    EXPECT_EQ(shot.pixel(42, 536), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(48, 536), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(45, 543), qRgb(255, 0, 0));
    EXPECT_NE(shot.pixel(44, 543), qRgb(255, 0, 0));
}

TEST_F(MainWindowTest, FocusRequestsReachPicDummy) {
    window->activateWindow();
    window->pattern_anime->setFocus();
    model.request_focus(QStringLiteral("pic_dummy"));
    EXPECT_TRUE(window->pic_dummy->hasFocus());
}

}  // namespace
}  // namespace koma

namespace koma {
namespace {

TEST_F(MainWindowTest, PointerArrowStaysOnThePatternBoxWhenABigStageMovesIt) {
    model.pic[kBackgroundSlot].resize_pixels(800, 400);
    model.win_main.resize_pixels(800, 400);
    model.pointer_k_left = 42 + 8 * 3;
    model.notify();
    const QRect box = window->pattern_anime->geometry();
    const QRect arrow = window->pointer_k->geometry();
    EXPECT_GT(box.y(), 544);  // the box moved down with the stage
    EXPECT_EQ(arrow.bottom() + 1, box.top());
    EXPECT_EQ(arrow.x(), box.x() + 2 + 8 * 3);
}

TEST(MainWindowWithBigStage, PointerArrowStartsOnThePatternBox) {
    // A state file read before the window exists (koma FILE.pst) gives it a big stage at once.
    EditingModel model{QStringLiteral("/")};
    Form1_Load(model);
    model.pic[kBackgroundSlot].resize_pixels(900, 500);
    model.win_main.resize_pixels(900, 500);
    const auto window = test::open_main_window(model);
    model.notify();
    const QRect box = window->pattern_anime->geometry();
    const QRect arrow = window->pointer_k->geometry();
    EXPECT_GT(box.y(), 544);
    EXPECT_EQ(arrow.bottom() + 1, box.top());
    EXPECT_EQ(arrow.x(), box.x() + 2);
}

}  // namespace
}  // namespace koma

namespace koma {
namespace {

// Far steps stand right of the default stage's edge; the layout must not push them further.
TEST_F(MainWindowTest, PointerArrowStaysOverFarStepsOnAWideStage) {
    model.pic[kBackgroundSlot].resize_pixels(800, 400);
    model.win_main.resize_pixels(800, 400);
    model.pattern_anime.set_text(QString(kMaxSteps, QLatin1Char('1')));
    for (int step : {57, 58, 70, 90, 0}) {
        place_edit_cursor(model, step);
        model.notify();
        const QRect box = window->pattern_anime->geometry();
        const QRect arrow = window->pointer_k->geometry();
        EXPECT_EQ(arrow.x(), box.x() + 2 + 8 * step) << "step " << step;
        EXPECT_EQ(arrow.bottom() + 1, box.top()) << "step " << step;
        // A second refresh with nothing changed leaves it where it is.
        model.notify();
        EXPECT_EQ(window->pointer_k->geometry(), arrow) << "step " << step;
    }
}

TEST_F(MainWindowTest, PointerArrowFollowsTheBoxWhenTheStageShrinksBack) {
    model.pattern_anime.set_text(QString(kMaxSteps, QLatin1Char('1')));
    place_edit_cursor(model, 80);
    model.pic[kBackgroundSlot].resize_pixels(900, 500);
    model.win_main.resize_pixels(900, 500);
    model.notify();
    model.win_main.resize_pixels(462, 110);
    model.notify();
    EXPECT_EQ(window->pattern_anime->geometry(), QRect(40, 544, 225, 25));
    EXPECT_EQ(window->pointer_k->geometry(), QRect(42 + 8 * 80, 536, 8, 8));
}

}  // namespace
}  // namespace koma
