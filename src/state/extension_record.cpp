#include "state/extension_record.h"

#include "state/state_codec.h"

namespace koma {

namespace {

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

// The items after the tag, as far as they are whole: a record cut inside an item keeps the
// items before it.
ExtensionRecord parse_record(const QString& line) {
    ExtensionRecord record;
    ItemReader in(line);
    (void)in.read_string();  // the tag, already recognised
    auto version = in.read_int(0, INT32_MAX);
    if (!version) {
        return record;
    }
    record.version = static_cast<int>(*version);
    while (!in.at_end()) {
        auto item = in.read_string();
        if (!item) {
            break;
        }
        const qsizetype equals = item->indexOf(QLatin1Char('='));
        if (equals < 0) {
            record.items.append({*item, QString()});
        } else {
            record.items.append({item->left(equals), item->mid(equals + 1)});
        }
    }
    return record;
}

// The project's export settings, by their keys. Each is written only when it differs from its
// default, so a project that never touched them writes the record it always wrote.
const QString kFormatKey = QStringLiteral("format");
const QString kFrameMsKey = QStringLiteral("frame_ms");
const QString kLoopKey = QStringLiteral("loop");
const QString kTransparentKey = QStringLiteral("transparent");
const QString kEffortKey = QStringLiteral("effort");

QString format_value(OutputFormat format) {
    switch (format) {
        case OutputFormat::Png:
            return QStringLiteral("png");
        case OutputFormat::Apng:
            return QStringLiteral("apng");
        case OutputFormat::Webp:
            return QStringLiteral("webp");
        case OutputFormat::Bmp:
        case OutputFormat::Gif:
            break;
    }
    return {};
}

std::optional<OutputFormat> parse_format(const QString& value) {
    for (OutputFormat format : {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp}) {
        if (value.compare(format_value(format), Qt::CaseInsensitive) == 0) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<int64_t> parse_integer(const QString& value) {
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return n;
}

QString key_value(const QString& key, const QString& value) {
    return key + QLatin1Char('=') + value;
}

}  // namespace

std::optional<QString> ExtensionRecord::value(const QString& key) const {
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if (it->first == key) {
            return it->second;
        }
    }
    return std::nullopt;
}

StateBytes split_extension_record(const QByteArray& bytes) {
    qsizetype end = bytes.size();
    while (end > 0 &&
           (is_line_end(bytes[end - 1]) || bytes[end - 1] == ' ' || bytes[end - 1] == '\t')) {
        --end;
    }
    qsizetype begin = end;
    while (begin > 0 && !is_line_end(bytes[begin - 1])) {
        --begin;
    }
    const QByteArray line = bytes.mid(begin, end - begin);
    const QByteArray tag = QByteArray("\"") + kExtensionTag + '"';
    if (!line.startsWith(tag) || (line.size() > tag.size() && line[tag.size()] != ',' &&
                                  line[tag.size()] != ' ' && line[tag.size()] != '\t')) {
        return {bytes, std::nullopt};
    }
    return {bytes.left(begin), parse_record(QString::fromLatin1(line))};
}

QString extension_record_text(const EditingModel& model) {
    const ExportSettings& settings = model.export_settings;
    const ExportSettings defaults;
    ItemWriter out;
    out.add_string(QString::fromLatin1(kExtensionTag));
    out.add_int(kExtensionVersion);
    out.add_string(QStringLiteral("encoding=UTF-8"));
    // BMP and GIF are the format buttons' choice, which is not kept with the project.
    if (is_extra_format(settings.extra_format)) {
        out.add_string(key_value(kFormatKey, format_value(settings.extra_format)));
    }
    if (settings.frame_ms != defaults.frame_ms) {
        out.add_string(key_value(kFrameMsKey, QString::number(settings.frame_ms)));
    }
    if (settings.loop_count != defaults.loop_count) {
        out.add_string(key_value(kLoopKey, QString::number(settings.loop_count)));
    }
    if (settings.transparent != defaults.transparent) {
        out.add_string(key_value(kTransparentKey, QStringLiteral("1")));
    }
    if (settings.effort == CodingEffort::Max) {
        out.add_string(key_value(kEffortKey, QStringLiteral("max")));
    }
    out.end_record();
    return out.text();
}

void apply_extension_record(EditingModel& model, const ExtensionRecord& record) {
    ExportSettings settings;
    // Without a format of its own the project exports what the format buttons show.
    settings.extra_format = model.gif_mode != 0 ? OutputFormat::Gif : OutputFormat::Bmp;
    if (const auto value = record.value(kFormatKey)) {
        if (const auto format = parse_format(*value)) {
            settings.extra_format = *format;
        }
    }
    if (const auto value = record.value(kFrameMsKey)) {
        if (const auto n = parse_integer(*value)) {
            if (const auto ms = check_frame_ms(*n)) {
                settings.frame_ms = *ms;
            }
        }
    }
    if (const auto value = record.value(kLoopKey)) {
        if (const auto n = parse_integer(*value)) {
            if (const auto loops = check_loop_count(*n)) {
                settings.loop_count = *loops;
            }
        }
    }
    if (const auto value = record.value(kTransparentKey)) {
        if (*value == QLatin1String("1")) {
            settings.transparent = true;
        }
    }
    if (const auto value = record.value(kEffortKey)) {
        if (value->compare(QLatin1String("max"), Qt::CaseInsensitive) == 0) {
            settings.effort = CodingEffort::Max;
        }
    }
    model.export_settings = settings;
    // A preview that is playing goes on at the project's frame time.
    if (model.timer1_interval > 0) {
        model.timer1_interval = settings.frame_ms;
    }
}

}  // namespace koma
