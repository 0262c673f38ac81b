#include "adjust/background_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

class BackgroundWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(model);
        window = test::open_main_window(model);
        host = window->findChild<BackgroundWindowHost*>();
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Form5* open() {
        QTest::mouseClick(window->Command1, Qt::LeftButton);
        Form5* form = host->form();
        EXPECT_NE(form, nullptr);
        if (form != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        }
        return form;
    }
    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
    BackgroundWindowHost* host = nullptr;
};

TEST_F(BackgroundWindowTest, OpensWithEveryControlInPlaceAndGreyedInFileMode) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "背景の設定");
    EXPECT_EQ(form->size(), QSize(312, 208));
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->Option1->geometry(), QRect(32, 40, 89, 25));
    EXPECT_EQ(form->Option2->geometry(), QRect(32, 112, 121, 33));
    EXPECT_EQ(form->Text1->geometry(), QRect(184, 24, 41, 25));
    EXPECT_EQ(form->Text2->geometry(), QRect(184, 56, 41, 25));
    EXPECT_EQ(form->color_window->geometry(), QRect(240, 24, 49, 57));
    EXPECT_EQ(form->Label1->geometry(), QRect(136, 24, 41, 25));
    EXPECT_EQ(form->Label2->text(), "たて");
    EXPECT_EQ(form->Command1->geometry(), QRect(64, 168, 73, 33));
    EXPECT_EQ(form->Command1->text(), "Ｏｋ");
    EXPECT_TRUE(form->Command1->font().bold());
    EXPECT_EQ(form->Command2->geometry(), QRect(184, 168, 73, 33));
    EXPECT_EQ(form->Command2->text(), "キャンセル");

    EXPECT_EQ(form->Text1->text(), "462");
    EXPECT_EQ(form->Text2->text(), "110");
    EXPECT_TRUE(form->Option2->isChecked());
    EXPECT_FALSE(form->Option1->isChecked());
    EXPECT_FALSE(form->Text1->isEnabled());
    EXPECT_FALSE(form->Text2->isEnabled());
    EXPECT_FALSE(form->color_window->isEnabled());
    EXPECT_EQ(form->color_window->grab().toImage().pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_TRUE(model.background_window_open);
}

TEST_F(BackgroundWindowTest, SecondPressShowsTheSameWindowWithoutReloading) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    EXPECT_EQ(model.bg_from_file, 0);
    EXPECT_TRUE(form->Text1->isEnabled());
    retype(form->Text1, QStringLiteral("300"));
    EXPECT_EQ(open(), form);
    EXPECT_EQ(form->Text1->text(), "300");
    EXPECT_TRUE(form->Option1->isChecked());
}

TEST_F(BackgroundWindowTest, PlainBackgroundThroughTheWidgets) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    QPointer<Form5> guard = form;
    form->pick_colour = [](const QColor&, QWidget*) { return QColor(255, 0, 0); };
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    QTest::mouseClick(form->color_window, Qt::LeftButton);
    EXPECT_EQ(model.bg_color, 0x0000FFu);
    EXPECT_EQ(form->color_window->grab().toImage().pixel(10, 10), qRgb(255, 0, 0));
    retype(form->Text1, QStringLiteral("320"));
    retype(form->Text2, QStringLiteral("200"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard);
    EXPECT_FALSE(model.background_window_open);
    EXPECT_EQ(model.stage_width, 4800);
    EXPECT_EQ(model.pic[0].image().size(), QSize(320, 200));
    EXPECT_EQ(model.pic[0].pixel(319, 199), qRgb(255, 0, 0));
    EXPECT_EQ(model.win_main.image().size(), QSize(320, 200));
}

TEST_F(BackgroundWindowTest, RefusedSizeKeepsTheWindowOpenWithTheBoxSelected) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    retype(form->Text2, QStringLiteral("abc"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_EQ(host->form(), form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->focusWidget(), form->Text2);
    EXPECT_EQ(form->Text2->selectedText(), "abc");
    EXPECT_EQ(model.stage_width, 80);
    EXPECT_EQ(model.pic[0].image().size(), QSize(462, 110));
    EXPECT_TRUE(model.background_window_open);
}

TEST_F(BackgroundWindowTest, ARefusedSizeIsExplainedInOneMessage) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    QStringList shown;
    form->show_refusal = [&](const QString& message) { shown << message; };
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    retype(form->Text1, QStringLiteral("abc"));
    retype(form->Text2, QStringLiteral("0"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("よこ「abc」")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("たて「0」")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("1 ～ 2184 ピクセル")) << shown[0].toStdString();
    EXPECT_EQ(form->focusWidget(), form->Text1);
}

TEST_F(BackgroundWindowTest, CloseBoxUndoesNothingAndTheNextOpeningReloads) {
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    form->pick_colour = [](const QColor&, QWidget*) { return QColor(0, 0, 255); };
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    QTest::mouseClick(form->color_window, Qt::LeftButton);
    retype(form->Text1, QStringLiteral("5"));
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(host->form(), nullptr);
    EXPECT_FALSE(model.background_window_open);
    EXPECT_EQ(model.bg_from_file, 0);
    EXPECT_EQ(model.bg_color, 0xFF0000u);
    EXPECT_EQ(model.pic[0].image().size(), QSize(462, 110));

    model.pic[0].resize_pixels(100, 50);
    form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Text1->text(), "100");
    EXPECT_TRUE(form->Option1->isChecked());
    EXPECT_EQ(form->color_window->grab().toImage().pixel(10, 10), qRgb(0, 0, 255));
}

TEST_F(BackgroundWindowTest, CancelledColourDialogKeepsTheColour) {
    model.bg_from_file = 0;
    model.bg_color = 0x00FF00;
    Form5* form = open();
    ASSERT_NE(form, nullptr);
    // The real dialog, dismissed as soon as it is up.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->close();
        }
    });
    dismiss.start(20);
    QTest::mouseClick(form->color_window, Qt::LeftButton);
    dismiss.stop();
    EXPECT_EQ(model.bg_color, 0x00FF00u);
    EXPECT_EQ(form->color_window->grab().toImage().pixel(10, 10), qRgb(0, 255, 0));
    QTest::mouseClick(form->Command2, Qt::LeftButton);
    EXPECT_FALSE(model.background_window_open);
}

}  // namespace
}  // namespace koma
