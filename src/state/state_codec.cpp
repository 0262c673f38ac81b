#include "state/state_codec.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <algorithm>
#include <cstdint>

namespace koma {

namespace {

constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kComma = QLatin1Char(',');
constexpr QChar kCr = QLatin1Char('\r');
constexpr QChar kLf = QLatin1Char('\n');

bool is_blank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Item text shown in a message: a damaged file may hold megabytes in one item.
QString shown(const QString& item) {
    constexpr int kShownChars = 20;
    if (item.size() <= kShownChars) {
        return item;
    }
    return item.left(kShownChars) + QStringLiteral("…");
}

}  // namespace

void ItemWriter::separate() {
    if (record_open_) {
        text_ += kComma;
    }
    record_open_ = true;
}

void ItemWriter::add_string(const QString& value) {
    separate();
    QString doubled = value;
    doubled.replace(kQuote, QStringLiteral("\"\""));
    text_ += kQuote + doubled + kQuote;
}

void ItemWriter::add_int(int64_t value) {
    separate();
    text_ += QString::number(value);
}

void ItemWriter::add_bool(bool value) {
    separate();
    text_ += value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
}

void ItemWriter::end_record() {
    text_ += QStringLiteral("\r\n");
    record_open_ = false;
}

std::expected<QString, QString> decode_state_text(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    const bool valid_utf8 = !utf8.hasError();
    // In valid UTF-8 a byte from 0xE0 up leads a three- or four-byte sequence. Japanese text in
    // code page 932 practically never forms such sequences through a whole file, while its
    // half-width katakana and many two-byte pairs happen to be valid two-byte UTF-8.
    const bool long_sequence =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return uint8_t(c) >= 0xE0; });
    if (valid_utf8 && long_sequence) {
        return text;
    }
    // Windows writes code page 932; ICU knows it as windows-31j, a superset of Shift_JIS.
    for (const char* name : {"windows-31j", "Shift_JIS"}) {
        QStringDecoder cp932(name);
        if (!cp932.isValid()) {
            continue;
        }
        QString windows_text = cp932.decode(bytes);
        if (!cp932.hasError() || !valid_utf8) {
            return windows_text;
        }
        return text;
    }
    if (valid_utf8) {
        return text;
    }
    return std::unexpected(QCoreApplication::translate(
        "StateCodec", "この状態ファイルは UTF-8 でなく、Shift_JIS の変換器もありません"));
}

QString decode_utf8_state_text(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8(bytes);
}

bool ItemReader::at_end() const {
    for (qsizetype i = pos_; i < text_.size(); ++i) {
        const QChar c = text_[i];
        if (!is_blank(c) && c != kCr && c != kLf) {
            return false;
        }
    }
    return true;
}

QString ItemReader::fault(const QString& what, int line) const {
    return QCoreApplication::translate("StateCodec", "%1 行目: %2").arg(line).arg(what);
}

void ItemReader::skip_blanks() {
    while (pos_ < text_.size() && is_blank(text_[pos_])) {
        ++pos_;
    }
}

bool ItemReader::at_line_end() const {
    return pos_ < text_.size() && (text_[pos_] == kCr || text_[pos_] == kLf);
}

void ItemReader::consume_delimiter() {
    after_comma_ = false;
    if (pos_ >= text_.size()) {
        return;
    }
    if (text_[pos_] == kComma) {
        ++pos_;
        after_comma_ = true;
    } else if (text_[pos_] == kCr) {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == kLf) {
            ++pos_;
        }
        ++line_;
    } else if (text_[pos_] == kLf) {
        ++pos_;
        ++line_;
    }
}

std::expected<QString, QString> ItemReader::next_item(bool* quoted) {
    *quoted = false;
    skip_blanks();
    if (!after_comma_) {
        while (at_line_end()) {
            consume_delimiter();
            skip_blanks();
        }
    }
    item_line_ = line_;
    if (pos_ >= text_.size()) {
        if (!after_comma_) {
            return std::unexpected(
                fault(QCoreApplication::translate("StateCodec", "ファイルが途中で終わっています"),
                      line_));
        }
        after_comma_ = false;
        return QString();
    }

    if (text_[pos_] != kQuote) {
        qsizetype end = pos_;
        while (end < text_.size() && text_[end] != kComma && text_[end] != kCr &&
               text_[end] != kLf) {
            ++end;
        }
        QString value = text_.mid(pos_, end - pos_);
        while (!value.isEmpty() && is_blank(value.back())) {
            value.chop(1);
        }
        pos_ = end;
        consume_delimiter();
        return value;
    }

    *quoted = true;
    QString value;
    qsizetype from = pos_ + 1;
    for (;;) {
        const qsizetype close = text_.indexOf(kQuote, from);
        if (close < 0) {
            return std::unexpected(fault(
                QCoreApplication::translate("StateCodec", "引用符が閉じていません"), item_line_));
        }
        value += QStringView(text_).mid(from, close - from);
        if (close + 1 < text_.size() && text_[close + 1] == kQuote) {
            value += kQuote;
            from = close + 2;
            continue;
        }
        pos_ = close + 1;
        break;
    }
    // Line ends inside the string still count as lines of the file.
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == kLf ||
            (value[i] == kCr && (i + 1 >= value.size() || value[i + 1] != kLf))) {
            ++line_;
        }
    }
    skip_blanks();
    if (pos_ < text_.size() && text_[pos_] != kComma && !at_line_end()) {
        return std::unexpected(fault(
            QCoreApplication::translate("StateCodec", "文字列の後に余分な文字があります"), line_));
    }
    consume_delimiter();
    return value;
}

std::expected<QString, QString> ItemReader::read_string() {
    bool quoted = false;
    return next_item(&quoted);
}

std::expected<int64_t, QString> ItemReader::read_int(int64_t min, int64_t max) {
    bool quoted = false;
    auto item = next_item(&quoted);
    if (!item) {
        return std::unexpected(item.error());
    }
    const QString& text = *item;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype digits_from = i;
    int64_t magnitude = 0;
    bool too_big = false;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        if (magnitude > (INT64_MAX - 9) / 10) {
            too_big = true;
        } else {
            magnitude = magnitude * 10 + (text[i].unicode() - '0');
        }
    }
    if (quoted || text.isEmpty() || i == digits_from || i != text.size()) {
        const QString what =
            text.isEmpty() && !quoted
                ? QCoreApplication::translate("StateCodec", "数値がありません")
                : QCoreApplication::translate("StateCodec", "数値のはずの所に「%1」があります")
                      .arg(shown(text));
        return std::unexpected(fault(what, item_line_));
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (too_big || value < min || value > max) {
        return std::unexpected(
            fault(QCoreApplication::translate("StateCodec", "数値 %1 が範囲 %2 ～ %3 の外です")
                      .arg(shown(text))
                      .arg(min)
                      .arg(max),
                  item_line_));
    }
    return value;
}

std::expected<int16_t, QString> ItemReader::read_int16() {
    auto value = read_int(INT16_MIN, INT16_MAX);
    if (!value) {
        return std::unexpected(value.error());
    }
    return static_cast<int16_t>(*value);
}

std::expected<bool, QString> ItemReader::read_bool() {
    bool quoted = false;
    auto item = next_item(&quoted);
    if (!item) {
        return std::unexpected(item.error());
    }
    if (!quoted) {
        if (item->compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (item->compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    return std::unexpected(fault(
        QCoreApplication::translate("StateCodec", "#TRUE# か #FALSE# のはずの所に「%1」があります")
            .arg(shown(*item)),
        item_line_));
}

}  // namespace koma
