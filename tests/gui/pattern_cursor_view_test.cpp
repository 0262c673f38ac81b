#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/main_window.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

// Records the key presses a widget receives.
class KeyRecorder : public QObject {
  public:
    std::vector<int> keys;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
};

class PatternCursorViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        window = test::open_main_window(model);
        window->activateWindow();
    }
    void type_pattern(const QString& text) {
        window->pattern_anime->setFocus();
        QTest::keyClicks(window->pattern_anime, text);
    }
    // Keys as the window system delivers them: to the window, which hands them to the focus.
    void press(Qt::Key key) { QTest::keyClick(window->windowHandle(), key); }
    QString caption(QPushButton* button) { return button->text().remove(QLatin1Char('\n')); }

    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
};

TEST_F(PatternCursorViewTest, TypedPatternAndFineAdjustmentToggle) {
    type_pattern(QStringLiteral("1234"));
    ASSERT_EQ(model.pattern_anime.text(), "1234");
    QTest::mouseClick(window->bt_set2, Qt::LeftButton);
    EXPECT_EQ(model.fine_adjust, 1);
    EXPECT_EQ(caption(window->bt_set2), "微調整ＯＦＦ");
    EXPECT_TRUE(window->pattern_anime->isReadOnly());
    EXPECT_EQ(window->pattern_anime->selectedText(), "1");
    EXPECT_TRUE(window->pic_dummy->hasFocus());

    // The selection belongs to the edit cursor: a click into the box does not move it.
    QTest::mouseClick(window->pattern_anime, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(window->pattern_anime->selectionStart(), 0);
    EXPECT_EQ(window->pattern_anime->selectedText(), "1");
    QTest::keyClicks(window->pattern_anime, QStringLiteral("9"));
    EXPECT_EQ(model.pattern_anime.text(), "1234");

    QTest::mouseClick(window->bt_set2, Qt::LeftButton);
    EXPECT_EQ(model.fine_adjust, 0);
    EXPECT_EQ(caption(window->bt_set2), "微調整ＯＮ");
    EXPECT_FALSE(window->pattern_anime->isReadOnly());
    EXPECT_FALSE(window->pattern_anime->hasSelectedText());
}

TEST_F(PatternCursorViewTest, LeftAndRightReachTheCursorWhileAnotherControlHasTheFocus) {
    type_pattern(QStringLiteral("1234"));
    QTest::mouseClick(window->bt_set2, Qt::LeftButton);
    KeyRecorder dummy_keys;
    window->pic_dummy->installEventFilter(&dummy_keys);
    const int travel = window->sc_bar->value();

    window->sc_bar->setFocus();
    ASSERT_TRUE(window->sc_bar->hasFocus());
    press(Qt::Key_Left);
    EXPECT_EQ(model.edit_cursor, 3);
    EXPECT_EQ(window->pointer_k->x(), 40 + 26);
    EXPECT_EQ(window->pattern_anime->selectionStart(), 3);
    EXPECT_EQ(window->pattern_anime->selectedText(), "4");
    EXPECT_TRUE(window->pic_dummy->hasFocus());
    // Not consumed: the key went on to the control holding the focus, and the bar, whose focus
    // was taken away first, did not move.
    EXPECT_EQ(dummy_keys.keys, std::vector<int>{Qt::Key_Left});
    EXPECT_EQ(window->sc_bar->value(), travel);

    window->size_move->setFocus();
    press(Qt::Key_Right);
    EXPECT_EQ(model.edit_cursor, 0);
    EXPECT_EQ(window->pointer_k->x(), 42);
    press(Qt::Key_Up);
    press(Qt::Key_Down);
    EXPECT_EQ(model.edit_cursor, 0);

    // A key sent straight to a control is seen once, not again on its way up to the window.
    QTest::keyClick(window->basename, Qt::Key_Right);
    EXPECT_EQ(model.edit_cursor, 1);
    EXPECT_EQ(window->this_adjust_x->text(), "0");
}

TEST_F(PatternCursorViewTest, KeysGoToTheFocusedControlUntouchedOutsideFineAdjustment) {
    type_pattern(QStringLiteral("12"));
    window->size_move->setFocus();
    window->size_move->setCursorPosition(1);
    press(Qt::Key_Left);
    EXPECT_EQ(window->size_move->cursorPosition(), 0);
    EXPECT_TRUE(window->size_move->hasFocus());
    EXPECT_EQ(model.edit_cursor, 0);
    EXPECT_EQ(window->pointer_k->x(), 42);

    // A selection made in the pattern box survives the refreshes of a running test.
    QTest::mouseClick(window->anime, Qt::LeftButton);
    window->pattern_anime->setFocus();
    window->pattern_anime->setSelection(1, 1);
    const int16_t shown = model.pattern_pos;
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.pattern_pos != shown; }, 2000));
    EXPECT_EQ(window->pattern_anime->selectedText(), "2");
    EXPECT_EQ(model.pattern_anime.sel_start(), 1);
    QTest::mouseClick(window->anime, Qt::LeftButton);
}

TEST_F(PatternCursorViewTest, TheArrowStandsOverTheSelectedCharacter) {
    QLineEdit* box = window->pattern_anime;
    EXPECT_EQ(QFontMetrics(box->font()).horizontalAdvance(QLatin1Char('0')), 8);
    type_pattern(QStringLiteral("12345678"));
    QTest::mouseClick(window->bt_set2, Qt::LeftButton);
    const QRgb highlight = box->palette().color(QPalette::Highlight).rgb();
    ASSERT_EQ(box->palette().color(QPalette::Inactive, QPalette::Highlight).rgb(), highlight);

    for (int step : {0, 1, 5, 7}) {
        while (model.edit_cursor != step) {
            press(Qt::Key_Right);
        }
        ASSERT_TRUE(window->pic_dummy->hasFocus());
        const QImage shot = window->grab().toImage();
        // The highlighted columns of the box are the selected character's rectangle.
        int left = INT_MAX;
        int right = -1;
        for (int y = box->y(); y < box->y() + box->height(); ++y) {
            for (int x = box->x(); x < box->x() + box->width(); ++x) {
                if (shot.pixel(x, y) == highlight) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        ASSERT_GE(right, 0) << "no visible selection at step " << step;
        EXPECT_EQ(left, window->pointer_k->x()) << step;
        EXPECT_EQ(right - left + 1, window->pointer_k->width()) << step;
        // The arrow's tip (column 3 of its last row) points into that rectangle.
        EXPECT_EQ(shot.pixel(left + 3, 543), qRgb(255, 0, 0)) << step;
        // By the font, the character starts 2 px inside the box after the ones before it.
        const QFontMetrics metrics(box->font());
        EXPECT_EQ(left, box->x() + 2 + metrics.horizontalAdvance(box->text().left(step))) << step;
        EXPECT_EQ(right - left + 1, metrics.horizontalAdvance(box->text().at(step))) << step;
    }
}

TEST_F(PatternCursorViewTest, TimerRunsAtEightyMillisecondsOnlyWhileTheTestRuns) {
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 0);
    type_pattern(QStringLiteral("12"));
    QTest::mouseClick(window->anime, Qt::LeftButton);
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 80);
    EXPECT_EQ(window->Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(caption(window->anime), "テスト中断");
    EXPECT_TRUE(window->pic_dummy->hasFocus());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.pattern_pos == 1; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.pattern_pos == 0; }, 2000));

    QTest::mouseClick(window->anime, Qt::LeftButton);
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 0);
    EXPECT_EQ(caption(window->anime), "アニメテスト");
}

TEST_F(PatternCursorViewTest, ArrowResetAndAdjustButtonsReachTheirHandlers) {
    type_pattern(QStringLiteral("11"));
    window->adjust_x->setValue(5);
    QTest::mouseClick(window->bt_set2, Qt::LeftButton);
    QTest::mouseClick(window->bt_arrow[0], Qt::LeftButton);
    EXPECT_EQ(model.step_dy[0], -1);
    EXPECT_EQ(window->this_adjust_y->text(), "1");
    EXPECT_TRUE(window->pic_dummy->hasFocus());
    QTest::mouseClick(window->bt_reset, Qt::LeftButton);
    EXPECT_EQ(window->adjust_x->value(), 0);
    EXPECT_EQ(window->offset_x->text(), "0");
    EXPECT_EQ(model.step_dy[0], -1);
    QTest::mouseClick(window->bt_set, Qt::LeftButton);
    EXPECT_EQ(model.adjust_mode, 1);
    EXPECT_EQ(caption(window->bt_set2), "微調整ＯＮ");
}

}  // namespace
}  // namespace koma
