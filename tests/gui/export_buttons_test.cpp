#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "support/pixels.h"

namespace koma {
namespace {

class ExportButtonsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        model.export_lists.set_path(dir.path());
        model.pic[1].set_picture(test::from_rows({"MRR", "MRR"}));
        window = test::open_main_window(model);
    }

    /// Clicks bt_exec; returns the text of the message box it showed (closed at once), or "".
    QString export_and_read_message() {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->close();
            }
        });
        QTest::mouseClick(window->bt_exec, Qt::LeftButton);
        QApplication::processEvents();
        return shown;
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/")};
    std::unique_ptr<Form1> window;
};

TEST_F(ExportButtonsTest, FormatButtonsSwapPlacesAndChooseTheFormat) {
    QTest::mouseClick(window->output_GIF, Qt::LeftButton);
    EXPECT_EQ(model.gif_mode, -1);
    EXPECT_TRUE(window->output_bmp->isVisible());
    EXPECT_FALSE(window->output_GIF->isVisible());
    EXPECT_EQ(window->output_bmp->text(), "ＢＭＰ");

    model.pattern_anime.set_text(QStringLiteral("11"));
    EXPECT_EQ(export_and_read_message(), "");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"sample.gif"});

    QTest::mouseClick(window->output_bmp, Qt::LeftButton);
    EXPECT_EQ(model.gif_mode, 0);
    EXPECT_TRUE(window->output_GIF->isVisible());
    EXPECT_FALSE(window->output_bmp->isVisible());
}

TEST_F(ExportButtonsTest, ExportStopsThePreviewTimerAndKeepsItsCaption) {
    model.pattern_anime.set_text(QStringLiteral("1"));
    model.anim_running = 1;
    model.timer1_interval = 80;
    model.anime.caption = QStringLiteral("テスト中断");
    model.notify();
    ASSERT_TRUE(window->Timer1->isActive());

    EXPECT_EQ(export_and_read_message(), "");
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_EQ(window->anime->text().remove(QLatin1Char('\n')), "テスト中断");
    EXPECT_TRUE(QFile::exists(dir.filePath("sample00.bmp")));
}

TEST_F(ExportButtonsTest, EmptyPatternAndFailuresAreToldInAMessageBox) {
    const QString nothing = export_and_read_message();
    EXPECT_FALSE(nothing.isEmpty());

    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    model.export_lists.set_path(dir.filePath("plain"));
    model.pattern_anime.set_text(QStringLiteral("1"));
    const QString failure = export_and_read_message();
    EXPECT_TRUE(failure.contains(dir.filePath("plain") + "/sample00.bmp")) << failure.toStdString();
    EXPECT_NE(failure, nothing);
}

TEST_F(ExportButtonsTest, AReadOnlyFileIsToldAndKept) {
    const QString file = dir.filePath("sample.gif");
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept");
    old.close();
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    QTest::mouseClick(window->output_GIF, Qt::LeftButton);
    model.pattern_anime.set_text(QStringLiteral("11"));

    const QString failure = export_and_read_message();
    EXPECT_TRUE(failure.startsWith(QStringLiteral("コマを書き出せませんでした。")))
        << failure.toStdString();
    EXPECT_TRUE(failure.contains(file)) << failure.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "kept");
}

}  // namespace
}  // namespace koma
