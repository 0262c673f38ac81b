#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/extension_record.h"
#include "state/load_save.h"
#include "state/write_state.h"

namespace koma {
namespace {

TEST(TimingRecord, WrittenOnlyWhenSetAndReadBackExactly) {
    QTemporaryDir dir;
    EditingModel m(dir.path()), r(dir.path());
    Form1_Load(m);
    Form1_Load(r);
    m.pattern_anime.set_text(QStringLiteral("1212"));
    const QString untouched = state_text(m);
    m.step_ms[1] = 120;
    m.step_ms[3] = 400;
    m.project.direction = PlayDirection::PingPong;
    EXPECT_TRUE(state_text(m).endsWith(
        "\"#KOMA#\",1,\"encoding=UTF-8\",\"step_ms=0 120 0 400\",\"direction=pingpong\"\r\n"));

    m.step_ms[90] = 65535;  // past the pattern, kept all the same
    m.work_path = r.work_path = dir.filePath("timed.pst");
    m.state_mode = 2;
    r.state_mode = 1;
    ASSERT_TRUE(load_save(m) && load_save(r));
    EXPECT_EQ(r.step_ms, m.step_ms);
    EXPECT_EQ(r.project.direction, PlayDirection::PingPong);

    // Forward with no own times again: byte for byte the file it always was.
    m.step_ms.fill(0);
    m.project.direction = PlayDirection::Forward;
    EXPECT_EQ(state_text(m), untouched);
}

TEST(TimingRecord, BadShortOrMissingValuesReadAsZeroForTheirStepsOnly) {
    EditingModel m(QStringLiteral("/"));
    Form1_Load(m);
    const auto read = [&](const QByteArray& items) {
        m.step_ms.fill(500);
        m.project.direction = PlayDirection::PingPong;
        apply_extension_record(m, *split_extension_record("\"#KOMA#\",1," + items).record);
    };
    std::array<uint16_t, kMaxSteps> expected{};
    read("\"step_ms=0 19 abc 65536 120  300 -40 45\",\"direction=PingPong\"");
    expected[4] = 120;
    expected[6] = 300;
    expected[8] = 45;
    EXPECT_EQ(m.step_ms, expected);
    EXPECT_EQ(m.project.direction, PlayDirection::PingPong);
    read("\"step_ms\",\"direction=backward\"");
    EXPECT_EQ(m.step_ms, (std::array<uint16_t, kMaxSteps>{}));
    EXPECT_EQ(m.project.direction, PlayDirection::Forward);
    read("\"step_ms=" + QByteArray("30 ").repeated(91) + "40\"");  // past step 90: left out
    expected.fill(30);
    EXPECT_EQ(m.step_ms, expected);
}

}  // namespace
}  // namespace koma
