#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/load_save.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

TEST(DirectionFlag, OverridesTheStateFilesDirectionAndSequencesFollowTheOrderPlayed) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Red, green and blue at column 1 of a black stage, played ping-pong.
    EditingModel m(dir.path());
    Form1_Load(m);
    const char* images[] = {"KKK", "MR", "MG", "MB"};
    for (int i = 0; i < 4; ++i) {
        m.slot_files[i] = dir.filePath(QStringLiteral("%1.png").arg(i));
        ASSERT_TRUE(test::from_rows({images[i]}).save(m.slot_files[i]));
    }
    m.pattern_anime.set_text(QStringLiteral("123"));
    m.project.direction = PlayDirection::PingPong;
    m.export_lists.set_path(dir.path());
    m.work_path = dir.filePath("state.pst");
    m.state_mode = 2;
    ASSERT_TRUE(load_save(m).has_value());

    const auto shown = [&](const QStringList& options) {
        for (const QString& f : QDir(dir.path()).entryList({"sample*"}))
            QFile::remove(dir.filePath(f));
        const auto run =
            test::run_koma_binary(QStringList{"export", m.work_path} + options, dir.path());
        std::string colours = std::to_string(run.code);
        for (const QString& name :
             QDir(dir.path()).entryList({"sample*.bmp"}, QDir::Files, QDir::Name)) {
            colours += test::row_of(
                QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32), 0)[1];
        }
        return colours + run.err.toStdString();
    };
    EXPECT_EQ(shown({}), "0RGBG");  // sample00 to sample03 in the order played
    EXPECT_EQ(shown({"--direction", "FORWARD"}), "0RGB");
    EXPECT_EQ(shown({"--direction=pingpong"}), "0RGBG");
    EXPECT_EQ(shown({"--direction", "back"}),
              "1koma: --direction must be forward or pingpong, not \"back\" (see koma --help)\n");
}

}  // namespace
}  // namespace koma
