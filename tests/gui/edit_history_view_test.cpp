#include <gtest/gtest.h>

#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/slot_loader.h"
#include "open_main_window.h"
#include "state/state_window.h"
#include "support/image_files.h"
#include "support/pixels.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

class EditHistoryView : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        window = test::open_main_window(model);
        window->show_message = [this](const QString& message) { messages << message; };
        window->ask_unsaved = [this] {
            ++questions;
            return answer;
        };
    }

    QString image_file(const QString& name, QRgb colour, int width) {
        const QString path = QDir(dir.path()).filePath(name);
        EXPECT_TRUE(test::write_file(path, test::encoded(test::solid(width, 3, colour), "png")));
        return path;
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/")};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
    QStringList messages;
    int questions = 0;
    Form1::UnsavedAnswer answer = Form1::UnsavedAnswer::Cancel;
};

// --- Keys reach the one history whatever has the focus ---

TEST_F(EditHistoryView, CtrlZInThePatternBoxUndoesTheModelNotTheBox) {
    window->pattern_anime->setFocus();
    QTest::keyClicks(window->pattern_anime, QStringLiteral("12"));
    ASSERT_EQ(model.pattern_anime.text(), "12");
    QTest::keyClick(window->pattern_anime, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.pattern_anime.text(), "");
    EXPECT_EQ(window->pattern_anime->text(), "");
    QTest::keyClick(window->pattern_anime, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(model.pattern_anime.text(), "12");
    EXPECT_EQ(window->pattern_anime->text(), "12");
}

TEST_F(EditHistoryView, CtrlZAndCtrlShiftZOnPicDummyUndoAndRedoANudge) {
    QString message;
    ASSERT_TRUE(load_slot_file(model, 1, image_file("a.png", qRgb(255, 0, 0), 4), false, message));
    model.pattern_anime.set_text(QStringLiteral("11"));
    model.notify();
    window->bt_set2->click();
    ASSERT_EQ(model.fine_adjust, 1);
    for (int i = 0; i < 3; ++i) {
        window->bt_arrow[3]->click();
    }
    ASSERT_EQ(model.step_dx[0], 3);
    ASSERT_TRUE(window->pic_dummy->hasFocus());
    QTest::keyClick(window->pic_dummy, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.step_dx[0], 0);
    EXPECT_EQ(model.this_adjust_x.text(), "0");
    QTest::keyClick(window->pic_dummy, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(model.step_dx[0], 3);
    EXPECT_EQ(model.fine_adjust, 1);
}

// --- The question before closing ---

TEST_F(EditHistoryView, ClosingWithNothingUnsavedAsksNothing) {
    window->close();
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EditHistoryView, CancelKeepsTheWindowWithUnsavedChanges) {
    window->basename->setFocus();
    QTest::keyClicks(window->basename, QStringLiteral("x"));
    ASSERT_FALSE(history.is_clean());
    answer = Form1::UnsavedAnswer::Cancel;
    window->close();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(model.basename.text(), "samplex");
}

TEST_F(EditHistoryView, DiscardClosesAndSaveWritesTheOpenedFileFirst) {
    const QString state = QDir(dir.path()).filePath("p.pst");
    history.mark_saved(state);
    window->basename->setFocus();
    QTest::keyClicks(window->basename, QStringLiteral("y"));
    answer = Form1::UnsavedAnswer::Save;
    window->close();
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFileInfo(state).isFile());
    EXPECT_TRUE(history.is_clean());

    window->show();
    QTest::keyClicks(window->basename, QStringLiteral("z"));
    answer = Form1::UnsavedAnswer::Discard;
    window->close();
    EXPECT_EQ(questions, 2);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EditHistoryView, SaveWithNoFileYetClosesOnlyAfterTheStateWindowSaved) {
    window->basename->setFocus();
    QTest::keyClicks(window->basename, QStringLiteral("w"));
    answer = Form1::UnsavedAnswer::Save;
    window->close();
    EXPECT_TRUE(window->isVisible());
    const auto states = window->findChildren<Form3*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(states.size(), 1);
    Form3* state = states.front();
    EXPECT_EQ(model.state_mode, 2);
    state->state().lists.set_path(dir.path());
    state->file_name->setText(QStringLiteral("named"));
    state->state().file_name.set_text(QStringLiteral("named"));
    state->Command1->click();
    QTest::qWait(50);
    EXPECT_TRUE(QFileInfo(dir.filePath("named.pst")).isFile());
    EXPECT_TRUE(history.is_clean());
    EXPECT_FALSE(window->isVisible());
}

// --- Ctrl+S and Ctrl+O ---

TEST_F(EditHistoryView, CtrlSWithNoFileOpensSaveAndCtrlOOpensLoad) {
    window->pic_dummy->setFocus();
    QTest::keyClick(window->pic_dummy, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(window->findChildren<Form3*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(model.state_mode, 2);
    QTest::keyClick(window->pic_dummy, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->findChildren<Form3*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(model.state_mode, 1);
}

TEST_F(EditHistoryView, CtrlSRewritesTheFileLastRead) {
    const QString state = dir.filePath("p.pst");
    history.mark_saved(state);
    window->basename->setFocus();
    QTest::keyClicks(window->basename, QStringLiteral("q"));
    QTest::keyClick(window->basename, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(history.is_clean());
    QFile file(state);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("sampleq"));
    EXPECT_TRUE(window->findChildren<Form3*>(Qt::FindDirectChildrenOnly).isEmpty());
}

// --- Dropped files ---

TEST_F(EditHistoryView, FilesDroppedOnSlot3FillSlots3To5InNaturalOrder) {
    const QList<QUrl> urls{QUrl::fromLocalFile(image_file("walk10.png", qRgb(0, 0, 255), 6)),
                           QUrl::fromLocalFile(image_file("walk2.png", qRgb(0, 255, 0), 5)),
                           QUrl::fromLocalFile(image_file("walk1.png", qRgb(255, 0, 0), 4))};
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window->pic[3]->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);

    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
    EXPECT_EQ(model.pic[3].width_px(), 4);
    EXPECT_EQ(model.pic[4].width_px(), 5);
    EXPECT_EQ(model.pic[5].width_px(), 6);
    EXPECT_TRUE(model.slot_files[4].endsWith("walk2.png"));
    EXPECT_TRUE(model.slot_files[6].isEmpty());
    EXPECT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_TRUE(model.slot_files[3].isEmpty());
    EXPECT_NE(model.pic[3].width_px(), 4);
}

TEST_F(EditHistoryView, ADropOffTheSlotsIsRefusedWithAMessage) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(image_file("a.png", qRgb(255, 0, 0), 4))});
    const QPoint at = window->bt_exec->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(history.stack().count(), 0);
}

}  // namespace
}  // namespace koma
