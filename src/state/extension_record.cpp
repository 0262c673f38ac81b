#include "state/extension_record.h"

#include <QStringList>
#include <algorithm>

#include "compose/animation_preview.h"
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
// The project's timing: the steps' own times and the direction, each written only when set.
const QString kStepMsKey = QStringLiteral("step_ms");
const QString kDirectionKey = QStringLiteral("direction");
const QString kPingPong = QStringLiteral("pingpong");
// How hard the PNG coders look for small files, written only at its highest.
const QString kEffortKey = QStringLiteral("effort");
// How many times every format enlarges the stage, written only when not 1.
const QString kScaleKey = QStringLiteral("scale");
// The memory budget of an export in megabytes, written only when it is not the default.
const QString kMemoryLimitKey = QStringLiteral("memory_limit");

QString format_value(OutputFormat format) {
    switch (format) {
        case OutputFormat::Png:
            return QStringLiteral("png");
        case OutputFormat::Apng:
            return QStringLiteral("apng");
        case OutputFormat::Webp:
            return QStringLiteral("webp");
        case OutputFormat::Avif:
            return QStringLiteral("avif");
        case OutputFormat::Mp4:
            return QStringLiteral("mp4");
        case OutputFormat::Webm:
            return QStringLiteral("webm");
        case OutputFormat::Sheet:
            return QStringLiteral("sheet");
        case OutputFormat::Bmp:
        case OutputFormat::Gif:
            break;
    }
    return {};
}

std::optional<OutputFormat> parse_format(const QString& value) {
    for (OutputFormat format :
         {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp, OutputFormat::Avif,
          OutputFormat::Mp4, OutputFormat::Webm, OutputFormat::Sheet}) {
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

// The times of steps 0 to the last one that has a time of its own, one space between two;
// "" when no step has one.
QString step_ms_value(const std::array<uint16_t, kMaxSteps>& step_ms) {
    int count = kMaxSteps;
    while (count > 0 && step_ms[count - 1] == 0) {
        --count;
    }
    QStringList times;
    for (int k = 0; k < count; ++k) {
        times << QString::number(step_ms[k]);
    }
    return times.join(QLatin1Char(' '));
}

// Each value stands for its step: a value that is not a decimal time in range, or no value at
// all, reads as 0.
std::array<uint16_t, kMaxSteps> parse_step_ms(const QString& value) {
    std::array<uint16_t, kMaxSteps> step_ms{};
    const QStringList times = value.split(QLatin1Char(' '));
    for (int k = 0; k < kMaxSteps && k < times.size(); ++k) {
        const QString& time = times[k];
        const bool digits = !time.isEmpty() && std::all_of(time.begin(), time.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        bool ok = false;
        const qlonglong ms = time.toLongLong(&ok, 10);
        if (digits && ok && ms >= kMinFrameMs && ms <= kMaxFrameMs) {
            step_ms[k] = static_cast<uint16_t>(ms);
        }
    }
    return step_ms;
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
    if (const QString times = step_ms_value(model.step_ms); !times.isEmpty()) {
        out.add_string(key_value(kStepMsKey, times));
    }
    if (model.project.direction == PlayDirection::PingPong) {
        out.add_string(key_value(kDirectionKey, kPingPong));
    }
    if (settings.effort == CodingEffort::Max) {
        out.add_string(key_value(kEffortKey, QStringLiteral("max")));
    }
    if (settings.scale != defaults.scale) {
        out.add_string(key_value(kScaleKey, QString::number(settings.scale)));
    }
    if (settings.memory_limit_mb != defaults.memory_limit_mb) {
        out.add_string(key_value(kMemoryLimitKey, QString::number(settings.memory_limit_mb)));
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
    if (const auto value = record.value(kScaleKey)) {
        if (const auto n = parse_integer(*value)) {
            if (const auto scale = check_scale(*n)) {
                settings.scale = *scale;
            }
        }
    }
    if (const auto value = record.value(kMemoryLimitKey)) {
        if (const auto n = parse_integer(*value)) {
            if (const auto mb = check_memory_limit(*n)) {
                settings.memory_limit_mb = *mb;
            }
        }
    }
    model.export_settings = settings;
    model.step_ms = parse_step_ms(record.value(kStepMsKey).value_or(QString()));
    model.project.direction = PlayDirection::Forward;
    if (const auto value = record.value(kDirectionKey)) {
        if (value->compare(kPingPong, Qt::CaseInsensitive) == 0) {
            model.project.direction = PlayDirection::PingPong;
        }
    }
    // A preview that is playing goes on at the project's times.
    retime_preview(model);
}

}  // namespace koma
