#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "compose/startup.h"
#include "export/export_settings_window.h"
#include "export/frame_export.h"
#include "model/edit_history.h"
#include "open_main_window.h"
#include "support/file_bytes.h"
#include "support/pixels.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

using test::from_rows;

// The main window over a 6 x 2 black stage with three frames keyed on magenta.
class TimingControls : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        model.pic[0].set_picture(test::solid(6, 2, qRgb(0, 0, 0)));
        model.win_main.resize_pixels(6, 2);
        model.pic[1].set_picture(from_rows({"MR", "RR"}));
        model.pic[2].set_picture(from_rows({"MG", "GG"}));
        model.pic[3].set_picture(from_rows({"MB", "BB"}));
        model.pattern_anime.set_text(QStringLiteral("123"));
        model.sc_bar.set_value(2);
        window = test::open_main_window(model);
        ASSERT_TRUE(test::make_active(window.get()));
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The stage as the window shows it.
    QImage shown_stage() {
        return window->win_main->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    EditingModel model{QStringLiteral("/")};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
};

TEST_F(TimingControls, TheTimeBoxSetsTheStepUnderTheCursorInFineAdjustmentOnly) {
    QLineEdit* box = window->step_time;
    EXPECT_FALSE(box->isEnabled());
    window->bt_set2->click();
    ASSERT_TRUE(box->isEnabled());
    EXPECT_EQ(box->placeholderText(), "80");  // empty: the frame time
    QTest::keyClick(window->pic_dummy, Qt::Key_Right);
    ASSERT_EQ(model.edit_cursor, 1);

    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("150"));
    EXPECT_EQ(model.step_ms[1], 150);
    EXPECT_EQ(box->text(), "150");
    // Undo from the box takes the time back, and the box shows it.
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.step_ms[1], 0);
    EXPECT_EQ(box->text(), "");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(model.step_ms[1], 150);

    // Walking on, the box shows the next step's time.
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_EQ(model.edit_cursor, 2);
    EXPECT_EQ(box->text(), "");
    QTest::keyClick(window->pic_dummy, Qt::Key_Left);
    EXPECT_EQ(box->text(), "150");
}

TEST_F(TimingControls, TheOnionSkinIsShownOverTheStageButNeverDrawnIntoIt) {
    window->bt_set2->click();
    QTest::keyClick(window->pic_dummy, Qt::Key_Right);  // step 1: green at column 2
    const QImage stage = model.win_main.image().copy();
    const QImage plain = shown_stage();
    EXPECT_EQ(plain.copy(0, 0, 6, 2), stage);

    window->onion_skin->click();
    EXPECT_TRUE(model.onion_skin);
    const QImage onion = shown_stage();
    // Step 0's red shows faintly over the black at column 1; the stage itself is untouched.
    EXPECT_GT(qRed(onion.pixel(1, 1)), 60);
    EXPECT_LT(qRed(onion.pixel(1, 1)), 110);
    EXPECT_EQ(onion.pixel(4, 1), plain.pixel(4, 1));
    EXPECT_EQ(model.win_main.image(), stage);

    // F3 turns it off again; "次のコマも" is only there while it is on.
    QTest::keyClick(window->pic_dummy, Qt::Key_F3);
    EXPECT_FALSE(model.onion_skin);
    EXPECT_FALSE(window->onion_next->isEnabled());
    EXPECT_EQ(shown_stage(), plain);
}

TEST_F(TimingControls, AnExportWithTheOnionSkinOnWritesWhatOneWithItOffWrites) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    model.export_lists.set_path(dir.path());
    window->bt_set2->click();
    auto export_bytes = [&](const QString& name) {
        model.basename.set_text(name);
        EXPECT_TRUE(bt_exec_Click(model).has_value());
        QList<QByteArray> files;
        for (int step = 0; step < 3; ++step) {
            files << test::read_bytes(bmp_file_name(dir.path(), name, step));
        }
        return files;
    };
    const auto off = export_bytes(QStringLiteral("off"));
    window->onion_skin->click();
    window->onion_next->click();
    ASSERT_FALSE(window->win_main->overlay().isNull());
    EXPECT_EQ(export_bytes(QStringLiteral("on")), off);
}

TEST_F(TimingControls, TheSpeedChoiceAndTheDirectionReachTheModel) {
    window->preview_speed->setCurrentIndex(0);
    emit window->preview_speed->activated(0);
    EXPECT_EQ(model.preview_speed, PreviewSpeed::Quarter);
    EXPECT_EQ(history.stack().count(), 0);  // not the project's

    QTest::mouseClick(window->bt_settings, Qt::LeftButton);
    auto* settings = window->findChild<ExportSettingsWindowHost*>()->window();
    ASSERT_NE(settings, nullptr);
    settings->direction->setCurrentIndex(1);
    emit settings->direction->activated(1);
    settings->ok->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(model.project.direction, PlayDirection::PingPong);
    // Taking the settings is a step of the history.
    ASSERT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_EQ(model.project.direction, PlayDirection::Forward);
}

}  // namespace
}  // namespace koma
