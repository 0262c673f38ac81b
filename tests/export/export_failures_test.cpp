#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <utility>
#include <vector>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "support/file_bytes.h"
#include "support/small_tmpfs.h"
#include "support/stripe_scene.h"

namespace koma {
namespace {

// Exports into a small file system of their own, over an earlier export of eight steps.
class ExportFailuresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
        Form1_Load(m);
        test::load_stripe_scene(m, disk.path(), "MRRRM");
        m.pattern_anime.set_text(QStringLiteral("12121212"));
        for (int step = 0; step < 8; ++step) {
            const QString name = QStringLiteral("walk0%1.bmp").arg(step);
            test::write_bytes(disk.file(name), "old " + name.toLatin1());
        }
        for (const char* name : {"walk.gif", "walk.png", "walk.webp"}) {
            test::write_bytes(disk.file(name), QByteArray("old ") + name);
        }
    }
    /// Every file of the folder, hidden ones too, with its content.
    QStringList everything() const {
        QStringList out;
        for (const QString& name :
             QDir(disk.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
            out << name + "=" + QString::fromLatin1(test::read_bytes(disk.file(name)));
        }
        return out;
    }

    test::SmallTmpfs disk{128};
    EditingModel m{QStringLiteral("/")};
};

TEST_F(ExportFailuresTest, ASequenceFailingAtItsSixthStepLeavesEveryOldFrameAsItWas) {
    const QString sixth = disk.file("walk05.bmp");
    // Each way the sixth file can fail, each undone before the next.
    const std::vector<std::pair<const char*, std::function<void()>>> causes{
        {"is a folder",
         [&] {
             QFile::remove(sixth);
             QDir(disk.path()).mkdir("walk05.bmp");
         }},
        {"the file is read-only",
         [&] {
             QDir(disk.path()).rmdir("walk05.bmp");
             test::write_bytes(sixth, "old walk05.bmp");
             QFile::setPermissions(sixth, QFile::ReadOwner | QFile::ReadGroup);
         }},
        {"No space left on device",
         [&] {
             QFile::setPermissions(sixth, QFile::ReadOwner | QFile::WriteOwner);
             // Room for five new frames of a page each; the sixth finds the disk full.
             ASSERT_TRUE(disk.leave_free(5));
         }},
    };
    for (const auto& [reason, make] : causes) {
        make();
        const QStringList before = everything();
        const auto result = bt_exec_Click(m);
        ASSERT_FALSE(result.has_value()) << reason;
        EXPECT_EQ(result.error(), sixth + ": " + reason);
        EXPECT_EQ(everything(), before) << reason;
        EXPECT_TRUE(m.status.failed());
    }
}

TEST_F(ExportFailuresTest, EveryFormatNamesAFullDiskAndLeavesNothingOfItsOwn) {
    ASSERT_TRUE(disk.leave_free(0));
    const QStringList before = everything();
    const std::pair<OutputFormat, const char*> formats[] = {{OutputFormat::Bmp, "walk00.bmp"},
                                                            {OutputFormat::Gif, "walk.gif"},
                                                            {OutputFormat::Png, "walk00.png"},
                                                            {OutputFormat::Apng, "walk.png"},
                                                            {OutputFormat::Webp, "walk.webp"}};
    for (const auto& [format, first] : formats) {
        m.export_settings.extra_format = format;
        m.gif_mode = format == OutputFormat::Gif ? -1 : 0;
        const auto result = bt_exec_Click(m);
        ASSERT_FALSE(result.has_value()) << first;
        EXPECT_EQ(result.error(), disk.file(first) + ": No space left on device");
        EXPECT_EQ(everything(), before) << first;
        EXPECT_EQ(export_message(result).text, "コマを書き出せませんでした。\n" + disk.file(first) +
                                                   ": No space left on device");
    }
}

}  // namespace
}  // namespace koma
