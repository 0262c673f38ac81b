#include "state/state_codec.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

TEST(ItemWriter, WritesItemsCommaSeparatedAndRecordsEndingInCrLf) {
    ItemWriter out;
    out.add_string(QStringLiteral("a,b"));
    out.add_int(-5);
    out.add_int(0);
    out.add_int(16777215);
    out.add_bool(true);
    out.add_bool(false);
    out.end_record();
    out.add_string(QString());
    out.end_record();
    out.add_string(QStringLiteral("say \"hi\""));
    out.end_record();
    EXPECT_EQ(out.text(), QStringLiteral("\"a,b\",-5,0,16777215,#TRUE#,#FALSE#\r\n"
                                         "\"\"\r\n"
                                         "\"say \"\"hi\"\"\"\r\n"));
}

TEST(ItemReader, ReadsBackEverythingTheWriterWrites) {
    const QStringList strings{QString(),
                              QStringLiteral("C:\\anime\\\\walk.png"),
                              QStringLiteral("a, b ,c"),
                              QStringLiteral("\"quoted\" and \"\""),
                              QStringLiteral("two\r\nlines"),
                              QStringLiteral("表示歩く"),
                              QStringLiteral("  padded  ")};
    ItemWriter out;
    for (const QString& s : strings) {
        out.add_string(s);
        out.add_int(-32768);
        out.end_record();
    }
    out.add_bool(false);
    out.add_int(32767);
    out.end_record();

    ItemReader in(out.text());
    for (const QString& s : strings) {
        EXPECT_EQ(in.read_string().value(), s);
        EXPECT_EQ(in.read_int16().value(), -32768);
    }
    EXPECT_FALSE(in.read_bool().value());
    EXPECT_FALSE(in.at_end());
    EXPECT_EQ(in.read_int16().value(), 32767);
    EXPECT_TRUE(in.at_end());
}

TEST(ItemReader, TakesBlanksLoneCrLoneLfEmptyLinesAndAMissingFinalLineEnd) {
    ItemReader in(QStringLiteral("  12 ,\t\"a\"  \r  -3\n\r\n\n#false#,+7,\"x\"\r\n,\"\""));
    EXPECT_EQ(in.read_int16().value(), 12);
    EXPECT_EQ(in.read_string().value(), "a");
    EXPECT_EQ(in.read_int16().value(), -3);
    EXPECT_FALSE(in.read_bool().value());
    EXPECT_EQ(in.read_int16().value(), 7);
    EXPECT_EQ(in.read_string().value(), "x");
    // A line that begins with a comma starts with an empty item.
    EXPECT_EQ(in.read_string().value(), "");
    EXPECT_EQ(in.read_string().value(), "");
    EXPECT_TRUE(in.at_end());
    EXPECT_TRUE(ItemReader(QString()).at_end());
    EXPECT_TRUE(ItemReader(QStringLiteral(" \r\n\r\n ")).at_end());
}

TEST(ItemReader, UnquotedStringsAndACommaBeforeALineEndGiveEmptyItems) {
    ItemReader in(QStringLiteral("plain text ,\r\n5"));
    EXPECT_EQ(in.read_string().value(), "plain text");
    EXPECT_EQ(in.read_string().value(), "");
    EXPECT_EQ(in.read_int16().value(), 5);
}

// Each damaged text with the reads that come before the bad item, and the line to be named.
TEST(ItemReader, DamagedItemsFailNamingTheirLine) {
    struct Case {
        const char* text;
        int good_strings;
        const char* kind;  // what is read at the bad item
        const char* line;
        const char* says;
    };
    const Case cases[] = {
        {"", 0, "string", "1 行目", "途中で終わって"},
        {"\"a\"\r\n\"b\r\n\r\nc", 1, "string", "2 行目", "引用符が閉じて"},
        {"\"a\"x,1", 0, "string", "1 行目", "余分な文字"},
        {"\"a\"\r\n12a", 1, "int", "2 行目", "「12a」"},
        {"\"a\"\r\n\"12\"", 1, "int", "2 行目", "数値のはず"},
        {"\"a\"\r\n-", 1, "int", "2 行目", "数値のはず"},
        {"\"a\"\r\n3.5", 1, "int", "2 行目", "数値のはず"},
        {"\"a\",,", 1, "int", "1 行目", "数値がありません"},
        {"\"a\"\r\n\r\n32768", 1, "int", "3 行目", "範囲"},
        {"\"a\"\r\n-32769", 1, "int", "2 行目", "範囲"},
        {"\"a\"\r\n99999999999999999999999", 1, "int", "2 行目", "範囲"},
        {"\"a\"\r\n#TRUE,1", 1, "bool", "2 行目", "#TRUE# か #FALSE#"},
        {"\"a\"\r\n\"#TRUE#\"", 1, "bool", "2 行目", "#TRUE# か #FALSE#"},
        {"\"a\"\r\n", 1, "bool", "2 行目", "途中で終わって"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ItemReader in(QString::fromUtf8(c.text));
        for (int i = 0; i < c.good_strings; ++i) {
            ASSERT_TRUE(in.read_string().has_value());
        }
        QString error;
        if (QLatin1String(c.kind) == QLatin1String("string")) {
            error = in.read_string().error();
        } else if (QLatin1String(c.kind) == QLatin1String("int")) {
            error = in.read_int16().error();
        } else {
            error = in.read_bool().error();
        }
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.line))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }
}

TEST(ItemReader, AMillionCommasAreEmptyItemsAndATenMegabyteStringIsOneItem) {
    ItemReader commas(QString(1'000'000, QLatin1Char(',')));
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(commas.read_string().value(), "");
    }
    EXPECT_FALSE(commas.read_int16().has_value());

    const QString big(10 * 1024 * 1024, QLatin1Char('x'));
    ItemReader in(QLatin1Char('"') + big + QStringLiteral("\",#TRUE#"));
    EXPECT_EQ(in.read_string().value(), big);
    EXPECT_TRUE(in.read_bool().value());
    // A bad number this long is named only by its start.
    ItemReader long_number(big);
    EXPECT_LT(long_number.read_int16().error().size(), 100);
}

TEST(ItemReader, LongItemsAreCheckedAgainstTheirOwnRange) {
    ItemReader in(QStringLiteral("16777215,16777216,-1"));
    EXPECT_EQ(in.read_int(0, 0xFFFFFF).value(), 16777215);
    EXPECT_FALSE(in.read_int(0, 0xFFFFFF).has_value());
    EXPECT_FALSE(in.read_int(0, 0xFFFFFF).has_value());
}

TEST(DecodeStateText, Utf8StaysUtf8AndAnythingElseIsCodePage932) {
    // "表示歩く" in code page 932; 0x5C, the backslash, is the second byte of 表.
    const QByteArray cp932 = QByteArray::fromHex("22955c8ea695e082ad22");
    EXPECT_EQ(decode_state_text(cp932).value(), QStringLiteral("\"表示歩く\""));
    // "背景" and a full-width tilde, which only code page 932 (not plain Shift_JIS) maps so.
    EXPECT_EQ(decode_state_text(QByteArray::fromHex("94778c698160")).value(),
              QStringLiteral("背景～"));

    const QByteArray utf8 = QStringLiteral("\"表示歩く\"").toUtf8();
    EXPECT_EQ(decode_state_text(utf8).value(), QStringLiteral("\"表示歩く\""));
    EXPECT_EQ(decode_state_text("\xEF\xBB\xBF\"a\"").value(), QStringLiteral("\"a\""));
    EXPECT_EQ(decode_state_text(QByteArray()).value(), QString());
}

}  // namespace
}  // namespace koma
