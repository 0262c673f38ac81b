#include "state/extension_record.h"

#include <gtest/gtest.h>

#include "compose/startup.h"
#include "state/state_codec.h"
#include "state/write_state.h"

namespace koma {
namespace {

const QByteArray kParts =
    "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
    "0,0,0,\"\",\"\",\"\",\"sample\",\"\"\r\n#TRUE#,16777215,80,50\r\n";

TEST(ExtensionRecord, IsTheLastLineOfAWrittenFileAndAPartsReaderNeverReachesIt) {
    EditingModel model(QStringLiteral("/nowhere"));
    Form1_Load(model);
    model.pattern_anime.set_text(QStringLiteral("12"));
    const QString text = state_text(model);
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n\"#KOMA#\",1,\"encoding=UTF-8\"") +
                              QStringLiteral("\r\n")))
        << text.toStdString();

    // Read the records the way a reader that knows nothing of the record does: 11 slots, the
    // second part's 8 items, one pair per step, the 4 background values. Only the record is left.
    ItemReader in(text);
    for (int i = 0; i < 11 + 8 + 2 * 2 + 4; ++i) {
        ASSERT_TRUE(in.read_string().has_value()) << "item " << i;
    }
    EXPECT_EQ(in.read_string().value(), "#KOMA#");

    const StateBytes parts = split_extension_record(text.toUtf8());
    ASSERT_TRUE(parts.record.has_value());
    EXPECT_EQ(parts.record->version, kExtensionVersion);
    EXPECT_EQ(parts.record->value(QStringLiteral("encoding")), "UTF-8");
    EXPECT_TRUE(
        QString::fromUtf8(parts.body).endsWith(QStringLiteral("#TRUE#,16777215,80,50\r\n")));
}

TEST(ExtensionRecord, KeepsUnknownKeysLaterVersionsAndItemsWithoutValues) {
    const StateBytes parts = split_extension_record(
        kParts +
        "\"#KOMA#\",7,\"encoding=UTF-8\",\"future=a=b\",\"flag\",\"encoding=other\"\r\n\r\n");
    EXPECT_EQ(parts.body, kParts);
    ASSERT_TRUE(parts.record.has_value());
    EXPECT_EQ(parts.record->version, 7);
    ASSERT_EQ(parts.record->items.size(), 4);
    EXPECT_EQ(parts.record->items[1].first, "future");
    EXPECT_EQ(parts.record->items[1].second, "a=b");
    EXPECT_EQ(parts.record->value(QStringLiteral("flag")), "");
    // The last of two items with one key counts.
    EXPECT_EQ(parts.record->value(QStringLiteral("encoding")), "other");
    EXPECT_FALSE(parts.record->value(QStringLiteral("missing")).has_value());
}

TEST(ExtensionRecord, ACutRecordKeepsItsWholeItemsAndTheParts) {
    const QByteArray full = kParts + "\"#KOMA#\",1,\"encoding=UTF-8\",\"frame_ms=80\"\r\n";
    for (qsizetype cut = kParts.size() + 8; cut < full.size(); ++cut) {
        const StateBytes parts = split_extension_record(full.left(cut));
        EXPECT_EQ(parts.body, kParts) << "cut at " << cut;
        ASSERT_TRUE(parts.record.has_value()) << "cut at " << cut;
        EXPECT_LE(parts.record->items.size(), 2) << "cut at " << cut;
    }
    const StateBytes inside_version = split_extension_record(kParts + "\"#KOMA#\",");
    ASSERT_TRUE(inside_version.record.has_value());
    EXPECT_TRUE(inside_version.record->items.isEmpty());
}

TEST(ExtensionRecord, OnlyATagThatStartsTheLastLineCounts) {
    // Files without the record, and lines that only look like it.
    for (const QByteArray& tail :
         {QByteArray(), QByteArray("\"#KOMA#x\",1\r\n"), QByteArray("\"x\",\"#KOMA#\",1\r\n"),
          QByteArray("\"#KOMA"), QByteArray(" \"#KOMA#\",1\r\n")}) {
        const StateBytes parts = split_extension_record(kParts + tail);
        EXPECT_FALSE(parts.record.has_value()) << tail.toStdString();
        EXPECT_EQ(parts.body, kParts + tail);
    }
    // A record that is not last is part of the body; the record after it counts.
    const QByteArray twice = "\"#KOMA#\",1\r\n";
    const StateBytes parts = split_extension_record(kParts + twice + twice);
    EXPECT_EQ(parts.body, kParts + twice);
    EXPECT_TRUE(parts.record.has_value());
}

}  // namespace
}  // namespace koma
