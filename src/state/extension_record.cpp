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
    (void)model;
    ItemWriter out;
    out.add_string(QString::fromLatin1(kExtensionTag));
    out.add_int(kExtensionVersion);
    out.add_string(QStringLiteral("encoding=UTF-8"));
    out.end_record();
    return out.text();
}

void apply_extension_record(EditingModel& model, const ExtensionRecord& record) {
    (void)model;
    (void)record;
}

}  // namespace koma
