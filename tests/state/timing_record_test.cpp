#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "compose/startup.h"
#include "state/extension_record.h"
#include "state/load_save.h"
#include "state/write_state.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

class TimingRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::unique_ptr<EditingModel> make_model() {
        auto m = std::make_unique<EditingModel>(dir.path());
        Form1_Load(*m);
        m->pattern_anime.set_text(QStringLiteral("1212"));
        return m;
    }
    /// A model whose timing is far from the defaults, to see a read replace it.
    std::unique_ptr<EditingModel> timed_model() {
        auto m = make_model();
        m->step_ms.fill(500);
        m->project.direction = PlayDirection::PingPong;
        return m;
    }
    void save(EditingModel& m, const QString& file) {
        m.work_path = file;
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m));
    }
    void load(EditingModel& m, const QString& file) {
        m.work_path = file;
        m.state_mode = 1;
        ASSERT_TRUE(load_save(m));
    }
    QString record_line(EditingModel& m) {
        return state_text(m).section(QStringLiteral("\r\n"), -2, -2);
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(TimingRecordTest, WrittenOnlyWhenSetWithTheTrailingZerosLeftOut) {
    auto m = make_model();
    const QString untouched = state_text(*m);
    ASSERT_EQ(record_line(*m), "\"#KOMA#\",1,\"encoding=UTF-8\"");

    m->step_ms[1] = 120;
    m->step_ms[3] = 400;
    m->project.direction = PlayDirection::PingPong;
    EXPECT_EQ(record_line(*m),
              "\"#KOMA#\",1,\"encoding=UTF-8\",\"step_ms=0 120 0 400\",\"direction=pingpong\"");
    // A time past the pattern's end is the project's too.
    m->step_ms[90] = 20;
    EXPECT_TRUE(record_line(*m).contains(QStringLiteral(" 400") + QString(" 0").repeated(86) +
                                         QStringLiteral(" 20\"")));

    // Back to forward with no own times, the file is byte for byte what it was.
    m->step_ms.fill(0);
    m->project.direction = PlayDirection::Forward;
    EXPECT_EQ(state_text(*m), untouched);
}

TEST_F(TimingRecordTest, TimesAndDirectionRoundTripThroughAStateFile) {
    auto written = make_model();
    written->step_ms[0] = 65535;
    written->step_ms[2] = 20;
    written->step_ms[7] = 333;  // past the pattern
    written->project.direction = PlayDirection::PingPong;
    const QString file = path(QStringLiteral("timed.pst"));
    save(*written, file);

    auto r = make_model();
    load(*r, file);
    EXPECT_EQ(r->step_ms, written->step_ms);
    EXPECT_EQ(r->project.direction, PlayDirection::PingPong);
    const QString again = path(QStringLiteral("again.pst"));
    save(*r, again);
    EXPECT_EQ(read_bytes(again), read_bytes(file));

    // A file without them reads as forward with no own times.
    const QString plain = path(QStringLiteral("plain.pst"));
    save(*make_model(), plain);
    auto t = timed_model();
    load(*t, plain);
    EXPECT_EQ(t->step_ms, (std::array<uint16_t, kMaxSteps>{}));
    EXPECT_EQ(t->project.direction, PlayDirection::Forward);
}

TEST_F(TimingRecordTest, BadShortOrMissingTimesReadAsZeroForTheirStepsOnly) {
    const QString base = path(QStringLiteral("base.pst"));
    save(*make_model(), base);
    QByteArray parts = read_bytes(base);
    parts.truncate(parts.indexOf("\"#KOMA#\""));
    struct Case {
        const char* items;
        std::vector<std::pair<int, int>> times;  // the steps that have one
        PlayDirection direction;
    };
    const QByteArray many = "\"step_ms=" + QByteArray("30 ").repeated(95) + "30\"";
    const Case cases[] = {
        {"\"step_ms=0 19 abc 65536 120  300 -40 +50 70000 45\"",
         {{4, 120}, {6, 300}, {10, 45}},
         PlayDirection::Forward},
        {"\"step_ms=\",\"direction=PingPong\"", {}, PlayDirection::PingPong},
        {"\"step_ms\",\"direction=backward\"", {}, PlayDirection::Forward},
        {"\"step_ms=20\",\"direction=\"", {{0, 20}}, PlayDirection::Forward},
        {"\"step_ms=1.5e2 0x50 ８０ 80\"", {{3, 80}}, PlayDirection::Forward},
        {many.constData(), {}, PlayDirection::Forward},
    };
    for (const Case& c : cases) {
        const QString file = path(QStringLiteral("case.pst"));
        write_bytes(file, parts + "\"#KOMA#\",1,\"encoding=UTF-8\"," + c.items + "\r\n");
        auto r = timed_model();
        load(*r, file);
        std::array<uint16_t, kMaxSteps> expected{};
        if (QByteArray(c.items) == many) expected.fill(30);  // 96 values: the first 91 count
        for (const auto& [step, ms] : c.times) expected[step] = static_cast<uint16_t>(ms);
        EXPECT_EQ(r->step_ms, expected) << c.items;
        EXPECT_EQ(r->project.direction, c.direction) << c.items;
    }
}

TEST_F(TimingRecordTest, APlayingPreviewTakesTheTimesRead) {
    auto written = make_model();
    written->step_ms[0] = 250;
    const QString file = path(QStringLiteral("held.pst"));
    save(*written, file);
    auto r = make_model();
    r->timer1_interval = 80;
    r->preview_step = 0;  // the preview shows step 0
    load(*r, file);
    EXPECT_EQ(r->timer1_interval, 250);
}

}  // namespace
}  // namespace koma
