// Exports that must not start: a base name that would leave the export folder, and a stage
// whose export would need more memory than the budget allows.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "export/export_settings_edit.h"
#include "export/frame_export.h"
#include "support/stripe_scene.h"

namespace koma {
namespace {

class ExportRefusalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out/sub")));
        Form1_Load(m);
        test::load_stripe_scene(m, dir.filePath(QStringLiteral("out/sub")), "MRRRM");
        m.pattern_anime.set_text(QStringLiteral("12"));
    }

    /// Every file under the temporary folder, relative to it.
    QStringList everything() const {
        QStringList found;
        QDir root(dir.path());
        for (const QString& sub : {QString(), QStringLiteral("out"), QStringLiteral("out/sub")}) {
            for (const QString& name : QDir(root.filePath(sub)).entryList(QDir::Files)) {
                found << sub + QLatin1Char('/') + name;
            }
        }
        return found;
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
};

TEST_F(ExportRefusalsTest, ABadBaseNameWritesNothingAnywhereInAnyFormat) {
    const QString nul = QStringLiteral("../victim.txt") + QChar(0);
    for (const OutputFormat format : {OutputFormat::Bmp, OutputFormat::Gif, OutputFormat::Png,
                                      OutputFormat::Apng, OutputFormat::Webp}) {
        choose_output_format(m, format);
        for (const QString& bad : {QStringLiteral("../escaped"), nul, QString(),
                                   QStringLiteral(".."), QStringLiteral("a\\b")}) {
            m.basename.set_text(bad);
            const auto outcome = bt_exec_Click(m);
            ASSERT_FALSE(outcome.has_value()) << int(format) << " " << bad.toStdString();
            EXPECT_TRUE(outcome.error().contains(QStringLiteral("base name")));
        }
    }
    EXPECT_EQ(everything(), QStringList{});
    // The same export with a good name goes through, so the refusals were the names'.
    m.basename.set_text(QStringLiteral("walk"));
    ASSERT_TRUE(bt_exec_Click(m).has_value());
    EXPECT_EQ(everything(), QStringList{QStringLiteral("out/sub/walk.webp")});
}

TEST_F(ExportRefusalsTest, AnExportOverTheBudgetIsRefusedBeforeAnythingIsWritten) {
    m.win_main.resize_pixels(600, 500);
    m.pic[0].resize_pixels(600, 500);
    m.export_settings.memory_limit_mb = 1;
    const auto outcome = bt_exec_Click(m);
    ASSERT_FALSE(outcome.has_value());
    EXPECT_TRUE(outcome.error().contains(QStringLiteral("600 x 500")));
    EXPECT_TRUE(outcome.error().contains(QStringLiteral("budget of 1 MiB")));
    EXPECT_EQ(everything(), QStringList{});
    m.export_settings.memory_limit_mb = 2048;
    ASSERT_TRUE(bt_exec_Click(m).has_value());
}

}  // namespace
}  // namespace koma
