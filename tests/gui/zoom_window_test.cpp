#include "adjust/zoom_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "adjust/background_window.h"
#include "app/main_window.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "platform/top_most.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

void flush_deletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString caption(QPushButton* button) { return button->text().remove(QLatin1Char('\n')); }

class ZoomWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        window = test::open_main_window(model);
        host = window->findChild<ZoomWindowHost*>();
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        window.reset();
        flush_deletes();
    }
    // A composed stage: a small picture in the corner of a 462 x 110 background.
    void compose_stage() {
        model.pic[0].set_picture(from_rows({"RGBK", "MWYC", "KKRR"}));
        model.pic[0].resize_pixels(462, 110, qRgb(0, 0, 128));
        ASSERT_TRUE(ComposeFrame(model, 0));
    }
    void expect_shows_stage(QWidget* zoom) {
        const QImage shot = zoom->grab().toImage();
        ASSERT_EQ(shot.size(), QSize(1848, 440));
        const QImage& stage = model.win_main.image();
        for (int y = 0; y < 440; y += 3) {
            for (int x = 0; x < 1848; x += 5) {
                ASSERT_EQ(shot.pixel(x, y), stage.pixel(x / 4, y / 4)) << x << "," << y;
            }
        }
    }

    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
    ZoomWindowHost* host = nullptr;
};

TEST_F(ZoomWindowTest, ButtonOpensATopmostWindowShowingTheStageFourTimes) {
    compose_stage();
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    Form4* zoom = host->form();
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(zoom));
    EXPECT_EQ(zoom->windowTitle(), "Form4");
    EXPECT_EQ(zoom->size(), QSize(1848, 440));
    EXPECT_EQ(zoom->parentWidget(), nullptr);
    EXPECT_FALSE(zoom->isModal());
    EXPECT_TRUE(zoom->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(caption(window->bt_zoom), "縮小");
    EXPECT_EQ(window->focusWidget(), window->pic_dummy);
    expect_shows_stage(zoom);

    // A new composition reaches the open window.
    model.pic[0].fill(qRgb(0, 200, 0));
    ASSERT_TRUE(ComposeFrame(model, 0));
    EXPECT_EQ(zoom->grab().toImage().pixel(1000, 200), qRgb(0, 200, 0));
}

TEST_F(ZoomWindowTest, ButtonClosesTheWindow) {
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    QPointer<Form4> zoom = host->form();
    ASSERT_TRUE(zoom);
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    flush_deletes();
    EXPECT_FALSE(zoom);
    EXPECT_EQ(model.zoom_open, 0);
    EXPECT_EQ(caption(window->bt_zoom), "ズーム");
}

TEST_F(ZoomWindowTest, CloseBoxUnloadsAndTheNextPressOpensAFreshWindow) {
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    QPointer<Form4> first = host->form();
    ASSERT_TRUE(first);
    first->close();  // as the window manager's close box does
    flush_deletes();
    EXPECT_FALSE(first);
    EXPECT_EQ(model.zoom_open, 0);
    EXPECT_EQ(caption(window->bt_zoom), "ズーム");

    compose_stage();
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    ASSERT_NE(host->form(), nullptr);
    EXPECT_TRUE(host->form()->isVisible());
    EXPECT_EQ(model.zoom_open, 1);
    expect_shows_stage(host->form());
}

TEST_F(ZoomWindowTest, AStageTooBigToZoomBeepsTellsAndOpensNothing) {
    model.pic[0].resize_pixels(2049, 2048);
    model.win_main.resize_pixels(2049, 2048);
    model.notify();
    // The message box waits until it is closed; close it as the user would.
    QString told;
    QTimer::singleShot(0, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    EXPECT_EQ(told, kZoomTooLarge);
    EXPECT_EQ(host->form(), nullptr);
    EXPECT_EQ(model.zoom_open, 0);
    EXPECT_EQ(caption(window->bt_zoom), "ズーム");
    EXPECT_EQ(window->focusWidget(), window->pic_dummy);
}

TEST(TopMost, HintIsSetAndTakenAwayWithTheWindowKeptShown) {
    QWindow window;
    window.resize(40, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(TopMostOn(&window));
    EXPECT_TRUE(window.flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(TopMostOff(&window));
    EXPECT_FALSE(window.flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(40, 30));
    EXPECT_FALSE(TopMostOn(nullptr));
    EXPECT_FALSE(TopMostOff(nullptr));
}

TEST_F(ZoomWindowTest, ClosingTheMainWindowClosesTheOthersAndEndsTheProgram) {
    QTest::mouseClick(window->bt_zoom, Qt::LeftButton);
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    QPointer<Form4> zoom = host->form();
    QPointer<Form5> background = window->findChild<BackgroundWindowHost*>()->form();
    ASSERT_TRUE(zoom && background);

    bool ended = false;
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    // Should the program not end, this stops the loop and the test fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    ended = QApplication::exec() == 0;
    guard.stop();
    flush_deletes();

    EXPECT_TRUE(ended);
    EXPECT_FALSE(zoom);
    EXPECT_FALSE(background);
    EXPECT_EQ(model.zoom_open, 0);
    EXPECT_FALSE(model.background_window_open);
}

}  // namespace
}  // namespace koma
