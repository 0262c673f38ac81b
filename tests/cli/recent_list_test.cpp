#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "state/settings_recent_projects.h"
#include "support/koma_process.h"

namespace koma {
namespace {

TEST(RecentList, KomaRecentPrintsTheStateFilesTheWindowRemembered) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList env{QStringLiteral("XDG_CONFIG_HOME=") + dir.path()};
    auto run = test::run_koma_binary({QStringLiteral("--recent")}, dir.path(), env);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "");

    // Where QSettings keeps the user's settings of organisation and application "koma".
    SettingsRecentProjects recent(dir.filePath("koma/koma.conf"));
    recent.remember(dir.filePath("old.pst"));
    recent.remember(dir.filePath("new.pst"));
    run = test::run_koma_binary({QStringLiteral("--recent")}, dir.path(), env);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, dir.filePath("new.pst") + "\n" + dir.filePath("old.pst") + "\n");
    EXPECT_EQ(run.err, "");

    run = test::run_koma_binary({QStringLiteral("--recent"), QStringLiteral("x")}, dir.path(), env);
    EXPECT_EQ(run.code, 1);
}

}  // namespace
}  // namespace koma
