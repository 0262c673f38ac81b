#include "state/state_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "support/fake_file_system.h"
#include "support/image_files.h"

namespace koma {
namespace {

class StateWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        window = test::open_main_window(model);
    }

    // The open state window, after one of the main window's buttons.
    Form3* open_with(QPushButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        Form3* form = nullptr;
        for (Form3* candidate : window->findChildren<Form3*>()) {
            if (!candidate->closing()) {
                form = candidate;
            }
        }
        if (form != nullptr) {
            form->show_message = [this](const QString& message) { messages << message; };
        }
        return form;
    }

    // Lets the closed window be destroyed.
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QTemporaryDir dir;
    EditingModel model{dir.path()};
    std::unique_ptr<Form1> window;
    QStringList messages;
};

TEST_F(StateWindowTest, SaveTypeANameEnterThenLoadClickItOkBringsTheStateBack) {
    model.adjust_x.set_value(12);
    model.pattern_anime.set_text(QStringLiteral("1212"));
    model.step_dx[1] = 3;
    model.basename.set_text(QStringLiteral("walker"));
    model.notify();

    Form3* save = open_with(window->bt_save);
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(model.state_window_open);
    EXPECT_EQ(model.state_mode, 2);
    QTest::keyClicks(save->file_name, QStringLiteral("walk"));
    QTest::keyClick(save->file_name, Qt::Key_Return);
    settle();
    EXPECT_TRUE(QFile::exists(dir.filePath("walk.pst")));
    EXPECT_FALSE(model.state_window_open);
    EXPECT_TRUE(window->findChildren<Form3*>().isEmpty());

    model.adjust_x.set_value(0);
    model.pattern_anime.set_text(QStringLiteral("9"));
    model.step_dx[1] = 0;
    model.basename.set_text(QStringLiteral("other"));
    model.notify();

    Form3* load = open_with(window->bt_load);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(model.state_mode, 1);
    ASSERT_EQ(load->File1->count(), 1);
    QListWidgetItem* item = load->File1->item(0);
    QTest::mouseClick(load->File1->viewport(), Qt::LeftButton, {},
                      load->File1->visualItemRect(item).center());
    EXPECT_EQ(load->file_name->text(), "walk.pst");
    QTest::mouseClick(load->Command1, Qt::LeftButton);
    settle();
    EXPECT_EQ(model.adjust_x.value(), 12);
    EXPECT_EQ(model.pattern_anime.text(), "1212");
    EXPECT_EQ(model.step_dx[1], 3);
    EXPECT_EQ(window->basename->text(), "walker");
    EXPECT_EQ(window->pattern_anime->text(), "1212");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StateWindowTest, TheWindowIsLaidOutAndOpenedOnceInTheProgramsFolder) {
    Form3* form = open_with(window->bt_save);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "状態のSAVE&LOAD");
    EXPECT_EQ(form->size(), QSize(464, 214));
    EXPECT_EQ(form->Command1->text(), "OK");
    EXPECT_EQ(form->Command1->geometry(), QRect(336, 64, 113, 137));
    EXPECT_EQ(form->File1->geometry(), QRect(192, 40, 137, 84));
    EXPECT_EQ(form->file_name->geometry(), QRect(192, 176, 137, 25));
    EXPECT_EQ(form->Combo1->currentText(), "*.pst");
    ASSERT_NE(form->Dir1->currentItem(), nullptr);
    EXPECT_EQ(form->Dir1->currentItem()->data(Qt::UserRole).toString(), dir.path());
    EXPECT_EQ(window->path_ref->text(), dir.path());
    EXPECT_FALSE(form->isModal());

    // A second click brings the same window forward; "LOAD" now decides.
    EXPECT_EQ(open_with(window->bt_load), form);
    EXPECT_EQ(model.state_mode, 1);
    EXPECT_EQ(window->findChildren<Form3*>().size(), 1);
}

TEST_F(StateWindowTest, ClosingByTheFrameNeitherReadsNorWrites) {
    Form3* form = open_with(window->bt_save);
    ASSERT_NE(form, nullptr);
    form->file_name->setText(QStringLiteral("never"));
    form->state().file_name.set_text(QStringLiteral("never"));
    form->close();
    settle();
    EXPECT_FALSE(QFile::exists(dir.filePath("never.pst")));
    EXPECT_FALSE(model.state_window_open);
    EXPECT_EQ(model.state_mode, 2);
}

TEST_F(StateWindowTest, ADamagedFileIsReportedInAMessage) {
    QFile bad(dir.filePath("bad.pst"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\"never closed");
    bad.close();
    Form3* form = open_with(window->bt_load);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->File1->count(), 1);
    const QPoint at = form->File1->visualItemRect(form->File1->item(0)).center();
    // An item view takes a double-click only on the item it was pressed on.
    QTest::mouseClick(form->File1->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(form->file_name->text(), "bad.pst");
    QTest::mouseDClick(form->File1->viewport(), Qt::LeftButton, {}, at);
    settle();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("1 行目")));
    EXPECT_FALSE(model.state_window_open);
}

TEST_F(StateWindowTest, ANotReadyDriveIsToldInAMessageBoxAndTheListsFallBack) {
    test::FakeFileSystem fs;
    fs.root_list = {"/", "/media/cd", "/media/usb"};
    fs.folders["/"] = {{"media"}, {"old.pst"}};
    fs.folders["/media/usb"] = {{"koma"}, {"top.pst"}};
    fs.folders["/media/usb/koma"] = {{}, {"walk.pst", "notes.txt"}};
    fs.not_ready.insert("/media/cd");
    EditingModel home{QStringLiteral("/media/usb/koma")};
    Form1_Load(home);
    Form1 main_window(home);
    auto* form = new Form3(home, &main_window, &fs);
    form->state().open(1);
    form->refresh();
    ASSERT_EQ(form->File1->count(), 1);
    EXPECT_EQ(form->File1->item(0)->text(), "walk.pst");
    EXPECT_EQ(form->Drive1->currentText(), "/media/usb");

    form->Drive1->setCurrentIndex(form->Drive1->findText("/"));
    emit form->Drive1->activated(form->Drive1->currentIndex());
    EXPECT_EQ(main_window.path_ref->text(), "/");

    // The message box waits until it is closed; close it as the user would.
    QString told;
    QTimer::singleShot(0, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    const int cd = form->Drive1->findText("/media/cd");
    ASSERT_GE(cd, 0);
    emit form->Drive1->activated(cd);
    EXPECT_EQ(told, "ドライブの準備がまだです");
    EXPECT_EQ(form->Drive1->currentText(), "/media/usb");
    ASSERT_NE(form->Dir1->currentItem(), nullptr);
    EXPECT_EQ(form->Dir1->currentItem()->data(Qt::UserRole).toString(), "/media/usb");
    ASSERT_EQ(form->File1->count(), 1);
    EXPECT_EQ(form->File1->item(0)->text(), "top.pst");
    EXPECT_EQ(home.path_ref.caption, "/media/usb");
    EXPECT_EQ(main_window.path_ref->text(), "/media/usb");
    delete form;
}

// Focus walking the window is not a choice: the typed name stays and "OK" writes only it.
TEST_F(StateWindowTest, TabbingRoundEveryControlKeepsTheTypedNameAndOkWritesOnlyThatFile) {
    const QByteArray other_bytes("not to be touched\n");
    ASSERT_TRUE(test::write_file(dir.filePath("another.pst"), other_bytes));
    Form3* save = open_with(window->bt_save);
    ASSERT_NE(save, nullptr);
    ASSERT_EQ(save->File1->count(), 1);
    ASSERT_TRUE(test::make_active(save));
    QTest::keyClicks(save->file_name, QStringLiteral("mine"));
    ASSERT_EQ(save->file_name->text(), "mine");

    QList<QWidget*> visited;
    for (int i = 0; i < 13; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "after " << i << " tabs";
        if (!visited.contains(focus)) {
            visited.append(focus);
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{save->Command1, save->Drive1, save->Dir1, save->Combo1,
                                         save->File1, save->file_name}) {
        EXPECT_TRUE(visited.contains(control)) << control->metaObject()->className();
    }
    EXPECT_EQ(save->file_name->text(), "mine");
    EXPECT_EQ(save->state().file_name.text(), "mine");

    QTest::mouseClick(save->Command1, Qt::LeftButton);
    settle();
    EXPECT_TRUE(QFile::exists(dir.filePath("mine.pst")));
    QFile other(dir.filePath("another.pst"));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), other_bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"another.pst", "mine.pst"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StateWindowTest, TheArrowKeysInTheListStillChooseAFile) {
    ASSERT_TRUE(test::write_file(dir.filePath("a.pst"), QByteArray()));
    ASSERT_TRUE(test::write_file(dir.filePath("b.pst"), QByteArray()));
    Form3* load = open_with(window->bt_load);
    ASSERT_NE(load, nullptr);
    ASSERT_EQ(load->File1->count(), 2);
    QTest::keyClicks(load->file_name, QStringLiteral("typed"));
    QTest::keyClick(load->File1, Qt::Key_Down);
    EXPECT_EQ(load->file_name->text(), "a.pst");
    QTest::keyClick(load->File1, Qt::Key_Down);
    EXPECT_EQ(load->file_name->text(), "b.pst");
}

}  // namespace
}  // namespace koma
