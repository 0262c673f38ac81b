#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <expected>

namespace koma {

/// Builds the text of a state file: records of comma-separated items, each record ending in
/// CR LF. Strings are written in double quotes with a quote inside doubled; numbers in plain
/// decimal; booleans as "#TRUE#" or "#FALSE#".
class ItemWriter {
  public:
    void add_string(const QString& value);
    void add_int(int64_t value);
    void add_bool(bool value);
    /// Closes the current record with CR LF.
    void end_record();

    const QString& text() const { return text_; }

  private:
    void separate();

    QString text_;
    bool record_open_ = false;
};

/// Decodes the bytes of a state file that has no extension record: one made on a Windows
/// system or by an earlier build. Valid UTF-8 holding at least one three- or four-byte
/// sequence is UTF-8 (a leading byte order mark is dropped); anything else is Windows code page
/// 932 (Shift_JIS) when it decodes as such, and UTF-8 only when it does not. So a file whose
/// only non-ASCII text is two-byte UTF-8 (accented Latin letters) is taken as code page 932.
/// Fails only when the bytes are not UTF-8 and no code page 932 converter is available.
std::expected<QString, QString> decode_state_text(const QByteArray& bytes);

/// Decodes the bytes of a state file that has an extension record: always UTF-8, a byte order
/// mark dropped and bytes that are not UTF-8 replaced.
QString decode_utf8_state_text(const QByteArray& bytes);

/// Reads the items of a state file one after another, in the order the writer wrote them.
///
/// A comma or a line end (CR LF, LF or a lone CR) closes an item. Blanks before an item are
/// skipped, and so are empty lines before an item that begins a line. A quoted string runs to
/// the next quote that is not doubled and may hold commas and line ends. Every read that fails
/// returns a message naming the line of the bad item and leaves the reader where it stopped.
class ItemReader {
  public:
    explicit ItemReader(QString text) : text_(std::move(text)) {}

    /// True when nothing but blanks and line ends is left.
    bool at_end() const;
    /// The line (counted from 1) the reader stands on.
    int line() const { return line_; }

    /// A string item, quoted or not.
    std::expected<QString, QString> read_string();
    /// A decimal integer item in [min, max].
    std::expected<int64_t, QString> read_int(int64_t min, int64_t max);
    std::expected<int16_t, QString> read_int16();
    /// "#TRUE#" or "#FALSE#" (any letter case).
    std::expected<bool, QString> read_bool();

  private:
    /// The text of the next item with its delimiter consumed. `quoted` tells whether it was a
    /// quoted string.
    std::expected<QString, QString> next_item(bool* quoted);
    void skip_blanks();
    bool at_line_end() const;
    /// Consumes the delimiter after an item: a comma, a line end, or nothing at the end.
    void consume_delimiter();
    QString fault(const QString& what, int line) const;

    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    /// The line the last item began on, for messages.
    int item_line_ = 1;
    /// Whether the last delimiter was a comma: a line end right after it closes an empty item
    /// instead of being skipped as an empty line.
    bool after_comma_ = false;
};

}  // namespace koma
