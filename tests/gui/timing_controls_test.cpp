#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "compose/startup.h"
#include "export/export_settings_window.h"
#include "model/edit_history.h"
#include "open_main_window.h"

namespace koma {
namespace {

class TimingControls : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        model.pattern_anime.set_text(QStringLiteral("121"));
        window = test::open_main_window(model);
        ASSERT_TRUE(test::make_active(window.get()));
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    EditingModel model{QStringLiteral("/")};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
};

TEST_F(TimingControls, TheTimeBoxShowsAndSetsTheStepUnderTheCursor) {
    QLineEdit* box = window->step_time;
    EXPECT_FALSE(box->isEnabled());
    window->bt_set2->click();
    QTest::keyClick(window->pic_dummy, Qt::Key_Right);
    ASSERT_TRUE(box->isEnabled());
    EXPECT_EQ(box->placeholderText(), "80");  // empty: the frame time
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("150"));
    EXPECT_EQ(model.step_ms[1], 150);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.step_ms[1], 0);
    EXPECT_EQ(box->text(), "");  // the undone time, though the box has the focus
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_EQ(box->text(), "");
    QTest::keyClick(window->pic_dummy, Qt::Key_Left);
    EXPECT_EQ(box->text(), "150");
}

TEST_F(TimingControls, TheDirectionTakenInTheSettingsIsOneStepOfTheHistory) {
    QTest::mouseClick(window->bt_settings, Qt::LeftButton);
    auto* settings = window->findChild<ExportSettingsWindowHost*>()->window();
    ASSERT_NE(settings, nullptr);
    settings->direction->setCurrentIndex(1);
    emit settings->direction->activated(1);
    settings->ok->click();
    EXPECT_EQ(model.project.direction, PlayDirection::PingPong);
    ASSERT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_EQ(model.project.direction, PlayDirection::Forward);
}

}  // namespace
}  // namespace koma
