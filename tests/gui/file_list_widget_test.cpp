#include "widgets/file_list_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "open_main_window.h"

namespace koma {
namespace {

// A window with a line edit before the list, so that Tab can carry the focus into it.
class FileListWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        list = new FileListWidget(&window);
        layout->addWidget(before);
        layout->addWidget(list);
        list->addItems({"a.pst", "b.pst", "c.pst"});
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(test::make_active(&window));
        before->setFocus(Qt::OtherFocusReason);
    }
    QPoint centre_of(int row) { return list->visualItemRect(list->item(row)).center(); }
    QList<int> rows(const QSignalSpy& spy) {
        QList<int> out;
        for (const QList<QVariant>& call : spy) {
            out.append(call.at(0).toInt());
        }
        return out;
    }

    QWidget window;
    QLineEdit* before = nullptr;
    FileListWidget* list = nullptr;
};

TEST_F(FileListWidgetTest, TheFocusArrivingByTabChoosesNothingThoughQtMakesARowCurrent) {
    QSignalSpy chosen(list, &FileListWidget::chosen);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    EXPECT_EQ(list->currentRow(), 0) << "Qt gives the list a current row on focus";
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(FileListWidgetTest, RowsSetByCodeOrAReloadChooseNothing) {
    QSignalSpy chosen(list, &FileListWidget::chosen);
    list->setCurrentRow(2);
    list->clear();
    list->addItems({"x.pst", "y.pst"});
    list->setCurrentRow(1);
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(FileListWidgetTest, KeysInTheListChooseEachRowTheyMoveTo) {
    list->setFocus(Qt::OtherFocusReason);
    QSignalSpy chosen(list, &FileListWidget::chosen);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);  // already at the top: no move, no choice
    EXPECT_EQ(rows(chosen), (QList<int>{1, 2, 1, 0}));
}

TEST_F(FileListWidgetTest, AClickChoosesItsRowOnceAndAgainWhenItIsCurrentAlready) {
    QSignalSpy chosen(list, &FileListWidget::chosen);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre_of(1));
    EXPECT_EQ(rows(chosen), QList<int>{1});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre_of(1));
    EXPECT_EQ(rows(chosen), (QList<int>{1, 1}));
    // Below the last item there is no file to choose.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(5, list->viewport()->height() - 2));
    EXPECT_EQ(rows(chosen), (QList<int>{1, 1}));
}

}  // namespace
}  // namespace koma
