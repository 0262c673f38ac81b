#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "compose/startup.h"
#include "open_main_window.h"
#include "state/state_window.h"

namespace koma {
namespace {

TEST(StateLoadMessage, ALoadWithSlotImagesThatDoNotLoadTellsThemInOneMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile broken(dir.filePath("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n no picture");
    broken.close();
    QByteArray state = "\"\"\r\n\"gone.png\"\r\n\"\"\r\n\"broken.png\"\r\n";
    for (int i = 4; i < 11; ++i) state += "\"\"\r\n";
    state += "0,0,0,\"1\",\"\",\"\",\"walk\",\"\"\r\n0,0\r\n#TRUE#,16777215,80,50\r\n";
    QFile file(dir.filePath("walk.pst"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(state);
    file.close();

    EditingModel model(dir.path());
    Form1_Load(model);
    auto window = test::open_main_window(model);
    QTest::mouseClick(window->bt_load, Qt::LeftButton);
    auto forms = window->findChildren<Form3*>();
    ASSERT_EQ(forms.size(), 1);
    QStringList messages;
    forms[0]->show_message = [&](const QString& message) { messages << message; };
    QTest::keyClicks(forms[0]->file_name, QStringLiteral("walk"));
    QTest::mouseClick(forms[0]->Command1, Qt::LeftButton);

    EXPECT_EQ(model.basename.text(), "walk");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("1「gone.png」")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("3「") + dir.filePath("broken.png") + "」"));
}

}  // namespace
}  // namespace koma
