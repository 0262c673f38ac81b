#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "compose/startup.h"
#include "export/export_progress_window.h"
#include "model/edit_history.h"
#include "open_main_window.h"
#include "state/recorded_load_save.h"
#include "support/pixels.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

class WindowFeedbackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        model.export_lists.set_path(dir.path());
        model.pic[1].set_picture(test::from_rows({"MRR", "MRR"}));
        window = test::open_main_window(model);
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/")};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
};

TEST_F(WindowFeedbackTest, TheStatusLineShowsTheProjectAndTheLastReportInFreeSpace) {
    EXPECT_EQ(window->status_line->text(), "無題");
    window->pattern_anime->setFocus();
    QTest::keyClicks(window->pattern_anime, "12");
    EXPECT_EQ(window->status_line->text(), "無題 *");
    model.work_path = dir.filePath("walk.pst");
    model.state_mode = 2;
    ASSERT_TRUE(recorded_load_save(model));
    model.notify();
    EXPECT_EQ(window->status_line->text(), "walk.pst\n保存しました: walk.pst");
    // A long folder keeps both ends in sight.
    model.status.report("書き出しました: /home/someone/" + QString(60, 'x') + "/walk (4 ファイル)");
    model.notify();
    EXPECT_TRUE(window->status_line->text().startsWith("walk.pst\n書き出しました: /ho"));
    EXPECT_TRUE(window->status_line->text().endsWith("(4 ファイル)"));
    EXPECT_LE(window->status_line->sizeHint().width(), window->status_line->width());
    const QRect line = window->status_line->geometry();
    for (QWidget* other :
         window->status_line->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != window->status_line && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(line)) << other->metaObject()->className();
        }
    }
}

TEST_F(WindowFeedbackTest, ReadoutsTakeNoTypingAndTheTravelBoxShowsTheTravelOnceLeft) {
    for (QLineEdit* readout :
         {window->offset_x, window->offset_y, window->total_adjust_x, window->total_adjust_y,
          window->this_adjust_x, window->this_adjust_y}) {
        EXPECT_TRUE(readout->isReadOnly());
    }
    ASSERT_TRUE(test::make_active(window.get()));
    window->size_move->setFocus();
    window->size_move->selectAll();
    QTest::keyClicks(window->size_move, "12");
    EXPECT_EQ(model.sc_bar.value(), 1);
    window->pattern_anime->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size_move->text(), "1");
    // Within the typing's step: one undo goes back to before the typing.
    history.undo();
    EXPECT_EQ(model.size_move.text(), "0");
}

TEST_F(WindowFeedbackTest, TheProgressDialogShowsAtItsSizeAndItsCancelButtonStopsTheExport) {
    model.pattern_anime.set_text(QStringLiteral("1111"));
    bool checked = false;
    const auto result = export_with_progress(model, window.get(), 0, [&](QProgressDialog& dialog) {
        if (!dialog.isVisible() || checked) return;
        checked = true;
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        auto* label = dialog.findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_GE(label->width(), label->sizeHint().width());
        auto* cancel = dialog.findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    EXPECT_TRUE(checked);
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->cancelled);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(WindowFeedbackTest, AStageTooLargeForTheScreenIsShownScaledWithEveryControlInReach) {
    // Left half red, right half blue: the scaled view keeps the picture's halves.
    QImage stage(3000, 2000, QImage::Format_RGB32);
    stage.fill(qRgb(0, 0, 255));
    QPainter(&stage).fillRect(0, 0, 1500, 2000, QColor(255, 0, 0));
    model.win_main.set_picture(stage);
    model.notify();
    const QRect shown = window->win_main->geometry();
    EXPECT_EQ(shown, QRect(40, 152, 538, 359));
    const QImage drawn = window->win_main->grab().toImage();
    EXPECT_EQ(drawn.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(shown.width() - 5, shown.height() - 5), qRgb(0, 0, 255));
    EXPECT_EQ(window->stage_scale->text(), "縮小表示 18%（3000 x 2000）");
    // The whole layout fits a 1920 x 1080 screen.
    const QWidget* canvas = window->win_main->parentWidget();
    EXPECT_LE(canvas->height(), 1080 - 40);
    for (const QWidget* control : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(canvas->rect().contains(control->geometry()));
    }
    // A stage that such a screen has room for is shown as it is.
    model.win_main.resize_pixels(600, 300);
    model.notify();
    EXPECT_EQ(window->win_main->geometry(), QRect(40, 152, 600, 300));
    EXPECT_FALSE(window->stage_scale->isVisible());
}

}  // namespace
}  // namespace koma
