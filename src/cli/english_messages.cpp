#include "cli/english_messages.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

#include "codecs/bmp/bmp_decoder.h"
#include "codecs/image_limits.h"
#include "model/project_state.h"

namespace koma {

namespace {

/// One message in both languages. In `japanese`, %1 to %3 stand for the parts that carry over
/// (each put in English again, should it be a message itself); `english` places them.
struct Message {
    QString japanese;
    const char* english;
};

const std::vector<Message>& messages() {
    static const std::vector<Message> all{
        // Pictures that did not load.
        {load_message::kCannotOpen, "cannot open the file"},
        {load_message::kCannotDecode, "not an image that can be read"},
        {load_message::kTooLarge, "the image is too large (16384 pixels a side, 256 MiB at most)"},
        {load_message::kEmpty, "the image has no pixels"},
        {load_message::kNotPng, "not a PNG file"},
        {bmp_message::kTruncated, "the BMP file is cut short"},
        {bmp_message::kBadHeader, "the BMP header is damaged"},
        {bmp_message::kHeaderSize, "BMP headers of %1 bytes are not supported"},
        {bmp_message::kPlanes, "the BMP does not have 1 plane"},
        {bmp_message::kDepth, "%1-bit BMP files are not supported"},
        {bmp_message::kCompression, "BMP compression %1 is not supported"},
        {bmp_message::kHuffman, "Huffman-compressed BMP files are not supported"},
        {bmp_message::kRle24, "RLE24-compressed BMP files are not supported"},
        {bmp_message::kTopDownRle, "top-down RLE-compressed BMP files cannot be read"},
        {bmp_message::kBadMasks, "the BMP bit fields are damaged"},
        {bmp_message::kNoPalette, "the BMP has no palette"},
        {bmp_message::kBadOffset, "the BMP pixel data offset is damaged"},
        {bmp_message::kEmbedded, "the image embedded in the BMP cannot be read"},
        {bmp_message::kNoMemory, "not enough memory to load the image"},
        // Reading a state file.
        {QStringLiteral("ファイルが見つかりません"), "no such file"},
        {QStringLiteral("状態ファイル「%1」を読めません。\n%2"), "%2"},
        {QStringLiteral("フォルダです"), "it is a folder"},
        {QStringLiteral("状態ファイルにしては大きすぎます"), "too large for a state file"},
        {QStringLiteral("この状態ファイルは UTF-8 でなく、Shift_JIS の変換器もありません"),
         "the state file is not UTF-8 and no Shift_JIS converter is available"},
        {QStringLiteral("%1 行目: %2"), "line %1: %2"},
        {QStringLiteral("ファイルが途中で終わっています"), "the file ends too early"},
        {QStringLiteral("引用符が閉じていません"), "a quotation mark is not closed"},
        {QStringLiteral("文字列の後に余分な文字があります"), "extra characters after a string"},
        {QStringLiteral("数値がありません"), "a number is missing"},
        {QStringLiteral("数値のはずの所に「%1」があります"), "\"%1\" where a number belongs"},
        {QStringLiteral("数値 %1 が範囲 %2 ～ %3 の外です"), "the number %1 lies outside %2 to %3"},
        {QStringLiteral("#TRUE# か #FALSE# のはずの所に「%1」があります"),
         "\"%1\" where #TRUE# or #FALSE# belongs"},
        {QStringLiteral("無地の背景の大きさ %1 x %2 twip は使えないので、背景はそのままです"),
         "a plain background of %1 x %2 twips cannot be made: the background is kept"},
        // Exporting.
        {QStringLiteral("拡大 %1 倍では書き出す画像が %2 ピクセルになり、大きすぎます（一辺 16384 "
                        "ピクセル、256 MiB まで）。この絵は %3 倍まで拡大できます。"),
         "at scale %1 the image would be %2 pixels, more than 16384 pixels a side or 256 MiB; "
         "the largest scale that fits is %3"},
        {QStringLiteral("書き出す画像が %1 ピクセルになり、大きすぎます（一辺 16384 ピクセル、"
                        "256 MiB まで）。拡大しても書き出せません。"),
         "the image would be %1 pixels, more than 16384 pixels a side or 256 MiB, even unscaled"},
        {QStringLiteral("拡大率 %1 は使えません。1 ～ %2 にしてください。"),
         "the scale %1 cannot be used: 1 to %2"},
    };
    return all;
}

/// `japanese` as a pattern that matches the message and captures its %1 to %3.
QRegularExpression pattern_of(const QString& japanese) {
    // One per thread: several state files are exported at once.
    thread_local const QRegularExpression place(QStringLiteral("%[1-3]"));
    QStringList literal_parts;
    for (const QString& part : japanese.split(place)) {
        literal_parts << QRegularExpression::escape(part);
    }
    return QRegularExpression(
        QLatin1Char('^') + literal_parts.join(QStringLiteral("(.*)")) + QLatin1Char('$'),
        QRegularExpression::DotMatchesEverythingOption);
}

}  // namespace

QString english_message(const QString& message) {
    for (const Message& known : messages()) {
        const QRegularExpressionMatch match = pattern_of(known.japanese).match(message);
        if (!match.hasMatch()) {
            continue;
        }
        // The places in the order the Japanese text has them: "%2 ... %1" is possible.
        thread_local const QRegularExpression place(QStringLiteral("%([1-3])"));
        QString parts[3];
        int group = 1;
        for (auto it = place.globalMatch(known.japanese); it.hasNext(); ++group) {
            const int number = it.next().captured(1).toInt();
            parts[number - 1] = english_message(match.captured(group));
        }
        // One pass, so that a part holding "%2" stays as it is.
        const QString form = QString::fromUtf8(known.english);
        QString english;
        for (qsizetype i = 0; i < form.size(); ++i) {
            if (form[i] == QLatin1Char('%') && i + 1 < form.size() &&
                form[i + 1] >= QLatin1Char('1') && form[i + 1] <= QLatin1Char('3')) {
                english += parts[form[i + 1].unicode() - '1'];
                ++i;
            } else {
                english += form[i];
            }
        }
        return english;
    }
    return message;
}

QString english_slot_name(int slot) {
    if (slot == kBackgroundSlot) return QStringLiteral("background");
    if (slot == kForegroundSlot) return QStringLiteral("foreground");
    return QString::number(slot);
}

}  // namespace koma
