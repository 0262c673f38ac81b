#include "import/picker_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "app/stage_layout_widget.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "support/image_files.h"
#include "support/pixels.h"
#include "widgets/surface_widget.h"

namespace koma {
namespace {

class PickerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(
            test::write_file(dir.filePath("a.bmp"), test::encoded(test::from_rows({"RG"}), "bmp")));
        ASSERT_TRUE(test::write_file(dir.filePath("b.bmp"),
                                     test::encoded(test::from_rows({"B", "Y"}), "bmp")));
        ASSERT_TRUE(test::write_file(dir.filePath("c.bmp"), QByteArray("BM broken")));
        ASSERT_TRUE(test::write_file(dir.filePath("wide.bmp"),
                                     test::encoded(test::solid(800, 400, qRgb(0, 0, 255)), "bmp")));
        Form1_Load(model);
        model.path_ref.caption = dir.path();
        window = test::open_main_window(model);
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Form2* picker() {
        for (Form2* p : window->findChildren<Form2*>(Qt::FindDirectChildrenOnly)) {
            if (!p->closed()) return p;
        }
        return nullptr;
    }
    void click_file(Form2* p, const QString& name) {
        const auto found = p->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const QRect rect = p->File1->visualItemRect(found.first());
        QTest::mouseClick(p->File1->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QTemporaryDir dir;
    EditingModel model{QDir::currentPath()};
    std::unique_ptr<Form1> window;
};

TEST_F(PickerWindowTest, SlotClickOpensThePickerAndAFileClickLoadsTheSlot) {
    model.fine_adjust = 1;
    QTest::mouseClick(window->pic[3], Qt::LeftButton);
    Form2* p = picker();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(p->isModal());
    EXPECT_EQ(p->windowTitle(), "ファイルを開く");
    EXPECT_TRUE(model.picker_open);
    EXPECT_EQ(model.fine_adjust, 0);
    EXPECT_EQ(p->Label2->text(), "パターン３");
    EXPECT_EQ(p->HScroll1->value(), 3);
    EXPECT_EQ(p->Combo1->currentText(), "*.BMP");
    EXPECT_EQ(p->File1->count(), 4);

    click_file(p, "a.bmp");
    EXPECT_EQ(model.slot_files[3], dir.path() + "/a.bmp");
    EXPECT_EQ(test::row_of(model.pic[3].image(), 0), "RG");

    // The arrow keys walk the list, loading every file passed over.
    QTest::keyClick(p->File1, Qt::Key_Down);
    EXPECT_EQ(model.slot_files[3], dir.path() + "/b.bmp");
    EXPECT_EQ(model.pic[3].height_px(), 2);
    QTest::keyClick(p->File1, Qt::Key_Down);
    EXPECT_EQ(model.slot_files[3], dir.path() + "/c.bmp");
    EXPECT_EQ(model.pic[3].height_px(), 2) << "a broken file leaves the slot as it was";
    EXPECT_TRUE(p->notice->text().contains("c.bmp"));

    // "next" and a click on the selected file load it into the next slot too.
    QTest::keyClick(p->File1, Qt::Key_Up);
    QTest::mouseClick(p->Command2, Qt::LeftButton);
    EXPECT_EQ(p->Label2->text(), "パターン４");
    click_file(p, "b.bmp");
    EXPECT_EQ(model.slot_files[4], dir.path() + "/b.bmp");
    EXPECT_TRUE(p->notice->text().isEmpty());
}

TEST_F(PickerWindowTest, AnOpenPickerIsOnlyBroughtForwardAndOkClosesIt) {
    QTest::mouseClick(window->pic[1], Qt::LeftButton);
    Form2* first = picker();
    ASSERT_NE(first, nullptr);
    model.fine_adjust = 1;  // the load steps must not run again
    QTest::mouseClick(window->pic[10], Qt::LeftButton);
    EXPECT_EQ(picker(), first);
    EXPECT_EQ(model.fine_adjust, 1);
    EXPECT_EQ(first->Label2->text(), "前景");

    QTest::mouseClick(first->Command1, Qt::LeftButton);
    EXPECT_FALSE(model.picker_open);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<Form2*>().isEmpty());
    QTest::mouseClick(window->pic[0], Qt::LeftButton);
    ASSERT_NE(picker(), nullptr);
    EXPECT_EQ(model.fine_adjust, 0);
    EXPECT_EQ(picker()->Label2->text(), "背景");
}

TEST_F(PickerWindowTest, TheChosenFilterAndTheFolderListDriveTheFileList) {
    ASSERT_TRUE(dir.path().size() > 1);
    QTest::mouseClick(window->pic[2], Qt::LeftButton);
    Form2* p = picker();
    ASSERT_NE(p, nullptr);
    emit p->Combo1->activated(2);
    EXPECT_EQ(p->Combo1->currentText(), "*.PNG");
    EXPECT_EQ(p->File1->count(), 0);

    // The folder list shows the path down to the folder; activating its parent opens it and
    // path_ref follows.
    const QString parent = QFileInfo(dir.path()).absolutePath();
    QListWidgetItem* up = nullptr;
    for (int i = 0; i < p->Dir1->count(); ++i) {
        if (p->Dir1->item(i)->data(Qt::UserRole).toString() == parent) up = p->Dir1->item(i);
    }
    ASSERT_NE(up, nullptr);
    emit p->Dir1->itemActivated(up);
    EXPECT_EQ(model.path_ref.caption, parent);
    EXPECT_EQ(window->path_ref->text(), parent);
}

TEST_F(PickerWindowTest, ABigBackgroundGrowsTheMainWindowAndKeepsEveryControlReachable) {
    EXPECT_EQ(window->size(), QSize(957, 751));
    QTest::mouseClick(window->pic[0], Qt::LeftButton);
    Form2* p = picker();
    ASSERT_NE(p, nullptr);
    click_file(p, "wide.bmp");
    EXPECT_EQ(model.win_main.width_px(), 800);
    EXPECT_EQ(model.adjust_x.max(), 800);
    // The window would be taller than the screen (and than a 1920 x 1080 one): the stage is
    // shown scaled down to the 359 rows such a screen has room for, 718 x 359.
    EXPECT_EQ(window->win_main->geometry(), QRect(40, 152, 718, 359));
    // Right of the stage: moved right by the extra width; below it: moved down.
    EXPECT_EQ(window->bt_exec->geometry(), QRect(824 + 256, 552, 121, 113));
    EXPECT_EQ(window->pic[10]->geometry(), QRect(48, 320 + 249, 454, 94));
    EXPECT_EQ(window->pattern_anime->geometry(), QRect(40, 544 + 249, 225, 25));
    EXPECT_EQ(window->pointer_k->geometry(), QRect(42, 536 + 249, 8, 8));
    EXPECT_EQ(window->pic[0]->geometry(), QRect(40, 8, 462, 110));
    EXPECT_EQ(window->win_main->parentWidget()->size(), QSize(957 + 256, 751 + 249));
    EXPECT_GE(window->width(), 957);

    // The slot shows the whole image scaled into its box.
    const QImage thumb = window->pic[0]->grab().toImage();
    // 800 x 400 into 462 x 110 keeps the aspect: 220 x 110.
    EXPECT_EQ(thumb.pixelColor(215, 100).rgb(), qRgb(0, 0, 255));
    EXPECT_NE(thumb.pixelColor(225, 100).rgb(), qRgb(0, 0, 255));
}

// The focus walking through the picker loads nothing: only a click or a key in the list does.
TEST_F(PickerWindowTest, TabbingThroughThePickerChangesNoSlot) {
    QTest::mouseClick(window->pic[3], Qt::LeftButton);
    Form2* p = picker();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->File1->count(), 4);
    ASSERT_TRUE(test::make_active(p));
    const auto files_before = model.slot_files;
    const QSize slot_before = model.pic[3].image().size();

    QList<QWidget*> visited;
    for (int i = 0; i < 20; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "after " << i << " tabs";
        if (!visited.contains(focus)) {
            visited.append(focus);
        }
        QTest::keyClick(focus, i < 10 ? Qt::Key_Tab : Qt::Key_Backtab,
                        i < 10 ? Qt::NoModifier : Qt::ShiftModifier);
    }
    EXPECT_TRUE(visited.contains(p->File1));
    EXPECT_TRUE(visited.contains(p->Dir1));
    EXPECT_EQ(model.slot_files, files_before);
    EXPECT_EQ(model.pic[3].image().size(), slot_before);
    EXPECT_EQ(p->File1->selectedItems().size(), 0);

    // The list still answers a key pressed in it.
    QTest::keyClick(p->File1, Qt::Key_Down);
    EXPECT_FALSE(model.slot_files[3].isEmpty());
}

TEST(StageLayoutPlace, DefaultStageKeepsTheDesign) {
    const QSize stage(462, 110);
    EXPECT_EQ(StageLayout::client_size(stage), QSize(957, 751));
    EXPECT_EQ(StageLayout::place(QRect(824, 552, 121, 113), stage), QRect(824, 552, 121, 113));
    EXPECT_EQ(StageLayout::place(QRect(824, 552, 121, 113), QSize(100, 50)),
              QRect(824, 552, 121, 113));
    EXPECT_EQ(StageLayout::client_size(QSize(100, 2000)), QSize(957, 751 + 1890));
    // Left of and above the stage nothing moves.
    EXPECT_EQ(StageLayout::place(QRect(8, 152, 25, 113), QSize(2000, 2000)),
              QRect(8, 152, 25, 113));
}

}  // namespace
}  // namespace koma
