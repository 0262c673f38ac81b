#include "export/export_settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "compose/startup.h"
#include "export/output_format.h"
#include "open_main_window.h"

namespace koma {
namespace {

class ExportSettingsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        window = test::open_main_window(model);
        host = window->findChild<ExportSettingsWindowHost*>();
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ExportSettingsWindow* open() {
        QTest::mouseClick(window->bt_settings, Qt::LeftButton);
        ExportSettingsWindow* settings = host->window();
        EXPECT_NE(settings, nullptr);
        if (settings != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(settings));
            settings->show_refusal = [this](const QString& message, QWidget*) {
                refusals << message;
            };
        }
        return settings;
    }
    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    static void pick(ExportSettingsWindow* settings, OutputFormat format) {
        const auto& formats = ExportSettingsWindow::kFormats;
        const int row =
            static_cast<int>(std::find(formats.begin(), formats.end(), format) - formats.begin());
        settings->format->setCurrentIndex(row);
        emit settings->format->activated(row);
    }
    /// Presses "ＯＫ" and lets a window that closed go.
    void press_ok(ExportSettingsWindow* settings) {
        QTest::mouseClick(settings->ok, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
    ExportSettingsWindowHost* host = nullptr;
    QStringList refusals;
};

// The window and its button.

TEST_F(ExportSettingsWindowTest, ButtonOpensOneModelessWindowShowingTheSettings) {
    EXPECT_EQ(window->bt_settings->text(), "出力設定");
    EXPECT_TRUE(window->bt_settings->isVisible());
    EXPECT_FALSE(window->output_shown->isVisible());

    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->windowTitle(), "出力設定");
    EXPECT_FALSE(settings->isModal());
    EXPECT_TRUE(model.export_settings_open);
    EXPECT_EQ(settings->format->currentText(), "ＢＭＰ");
    EXPECT_EQ(settings->frame_ms->text(), "80");
    EXPECT_EQ(settings->loop_count->text(), "0");

    // A second click brings the same window forward.
    QTest::mouseClick(window->bt_settings, Qt::LeftButton);
    EXPECT_EQ(host->window(), settings);
}

TEST_F(ExportSettingsWindowTest, OkTakesWhatWasTypedAndTickedAndCloses) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    retype(settings->frame_ms, QStringLiteral("40"));
    retype(settings->loop_count, QStringLiteral("3"));
    // On its box: the check box's row is wider than its text.
    QTest::mouseClick(settings->transparent, Qt::LeftButton, {},
                      QPoint(6, settings->transparent->height() / 2));
    pick(settings, OutputFormat::Webp);
    press_ok(settings);

    EXPECT_EQ(host->window(), nullptr);
    EXPECT_FALSE(model.export_settings_open);
    EXPECT_EQ(model.export_settings.frame_ms, 40);
    EXPECT_EQ(model.export_settings.loop_count, 3);
    EXPECT_TRUE(model.export_settings.transparent);
    EXPECT_EQ(format_in_force(model), OutputFormat::Webp);
    EXPECT_TRUE(refusals.isEmpty());
}

TEST_F(ExportSettingsWindowTest, ShortFrameTimeIsToldAndTheWindowStaysWithTheBoxSelected) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    retype(settings->frame_ms, QStringLiteral("10"));
    pick(settings, OutputFormat::Apng);
    press_ok(settings);

    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains("20")) << refusals[0].toStdString();
    EXPECT_EQ(host->window(), settings);
    EXPECT_TRUE(settings->frame_ms->hasFocus());
    EXPECT_EQ(settings->frame_ms->selectedText(), "10");
    EXPECT_EQ(model.export_settings.frame_ms, 80);
    EXPECT_EQ(format_in_force(model), OutputFormat::Bmp);
    EXPECT_FALSE(window->output_shown->isVisible());
}

TEST_F(ExportSettingsWindowTest, TheCloseBoxChangesNothing) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    retype(settings->loop_count, QStringLiteral("9"));
    settings->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(host->window(), nullptr);
    EXPECT_FALSE(model.export_settings_open);
    EXPECT_EQ(model.export_settings.loop_count, 0);
}

// The settings' format and the format buttons together.

TEST_F(ExportSettingsWindowTest, ChosenApngShowsBesideTheButtonsUntilTheGifButtonIsClicked) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    pick(settings, OutputFormat::Apng);
    press_ok(settings);

    EXPECT_TRUE(window->output_shown->isVisible());
    EXPECT_EQ(window->output_shown->text(), "APNG");
    // The format buttons keep showing their own choice.
    EXPECT_EQ(model.gif_mode, 0);
    EXPECT_TRUE(window->output_GIF->isVisible());
    EXPECT_FALSE(window->output_bmp->isVisible());

    QTest::mouseClick(window->output_GIF, Qt::LeftButton);
    EXPECT_EQ(model.gif_mode, -1);
    EXPECT_EQ(format_in_force(model), OutputFormat::Gif);
    EXPECT_FALSE(window->output_shown->isVisible());
    EXPECT_TRUE(window->output_bmp->isVisible());

    settings = open();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->format->currentText(), "GIF");
}

TEST_F(ExportSettingsWindowTest, AnOpenWindowShowsAFormatButtonsClick) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    pick(settings, OutputFormat::Png);
    QTest::mouseClick(window->output_GIF, Qt::LeftButton);
    EXPECT_EQ(settings->format->currentText(), "GIF");
    press_ok(settings);
    EXPECT_EQ(format_in_force(model), OutputFormat::Gif);
    EXPECT_FALSE(window->output_shown->isVisible());
}

TEST_F(ExportSettingsWindowTest, TheButtonAndLabelSitInFreeSpaceAndMoveWithABigStage) {
    // Neither overlaps any other visible control of the main window.
    model.export_settings.extra_format = OutputFormat::Webp;
    model.notify();
    ASSERT_TRUE(window->output_shown->isVisible());
    for (QWidget* mine : {static_cast<QWidget*>(window->bt_settings),
                          static_cast<QWidget*>(window->output_shown)}) {
        for (QWidget* other :
             mine->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other == mine || !other->isVisible()) {
                continue;
            }
            EXPECT_FALSE(mine->geometry().intersects(other->geometry()))
                << other->metaObject()->className() << " at " << other->x() << "," << other->y();
        }
    }
    const QPoint button = window->bt_settings->pos();
    const QPoint format_button = window->output_GIF->pos();
    model.win_main.resize_pixels(600, 110);
    model.notify();
    EXPECT_EQ(window->bt_settings->pos() - button, window->output_GIF->pos() - format_button);
    EXPECT_NE(window->bt_settings->pos(), button);
}

// The preview in the main window.

TEST_F(ExportSettingsWindowTest, PreviewTimerTicksAtTheFrameTime) {
    model.pattern_anime.set_text(QStringLiteral("1"));
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    retype(settings->frame_ms, QStringLiteral("33"));
    press_ok(settings);
    QTest::mouseClick(window->anime, Qt::LeftButton);
    ASSERT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 33);
    QTest::mouseClick(window->anime, Qt::LeftButton);
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(ExportSettingsWindowTest, EveryControlHasRoomOfItsOwnAboveOkAndCancel) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    const QList<QWidget*> controls =
        settings->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* mine : controls) {
        EXPECT_TRUE(settings->rect().contains(mine->geometry())) << mine->metaObject()->className();
        for (QWidget* other : controls) {
            if (other != mine) {
                EXPECT_FALSE(mine->geometry().intersects(other->geometry()))
                    << mine->metaObject()->className() << " at " << mine->x() << "," << mine->y()
                    << " and " << other->metaObject()->className() << " at " << other->x() << ","
                    << other->y();
            }
        }
        if (mine != settings->ok && mine != settings->cancel) {
            EXPECT_LT(mine->geometry().bottom(), settings->ok->geometry().top())
                << mine->metaObject()->className() << " at " << mine->x() << "," << mine->y();
        }
    }
}

TEST_F(ExportSettingsWindowTest, TheEffortBoxIsTakenByOk) {
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(settings->max_effort->isChecked());
    EXPECT_FALSE(settings->max_effort->geometry().intersects(settings->ok->geometry()));
    QTest::mouseClick(settings->max_effort, Qt::LeftButton, {},
                      QPoint(6, settings->max_effort->height() / 2));
    press_ok(settings);
    EXPECT_EQ(model.export_settings.effort, CodingEffort::Max);
}

TEST_F(ExportSettingsWindowTest, TheScaleListShowsTheScaleAndOkTakesItWithTheSheet) {
    model.export_settings.scale = 2;
    ExportSettingsWindow* settings = open();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->scale->count(), 8);
    EXPECT_EQ(settings->scale->currentText(), "2 倍");
    settings->scale->setCurrentIndex(4);
    emit settings->scale->activated(4);
    pick(settings, OutputFormat::Sheet);
    press_ok(settings);
    EXPECT_EQ(model.export_settings.scale, 5);
    EXPECT_EQ(format_in_force(model), OutputFormat::Sheet);
    EXPECT_TRUE(window->output_shown->isVisible());
    EXPECT_EQ(window->output_shown->text(), "シート");
}

}  // namespace
}  // namespace koma
