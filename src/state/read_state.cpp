#include "state/read_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "model/base_name.h"
#include "model/slot_loader.h"
#include "raster/colour.h"
#include "raster/twips.h"
#include "state/extension_record.h"
#include "state/state_codec.h"

namespace koma {

namespace {

// Real state files are a few kilobytes; this only keeps a wrong file from filling the memory.
constexpr qint64 kMaxStateFileBytes = 64 * 1024 * 1024;

// Where a slot's file is now: the stored path if it names a file (a relative one taken from
// the state file's folder, never from the process's current folder), else the same file name
// in the state file's folder (a moved project, or one made on Windows), else nothing.
QString find_slot_file(const QString& stored, const QDir& state_folder) {
    if (stored.isEmpty()) {
        return {};
    }
    const QString resolved = QDir::isRelativePath(stored) ? state_folder.filePath(stored) : stored;
    if (QFileInfo(resolved).isFile()) {
        return resolved == stored ? stored : QDir::cleanPath(resolved);
    }
    const qsizetype cut =
        std::max(stored.lastIndexOf(QLatin1Char('/')), stored.lastIndexOf(QLatin1Char('\\')));
    const QString name = stored.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return {};
    }
    const QString moved = state_folder.filePath(name);
    return QFileInfo(moved).isFile() ? moved : QString();
}

// A stored path goes to the PNG loader only when it ends in exactly "png", in lower case.
bool png_by_name(const QString& path) {
    return path.endsWith(QLatin1String("png"), Qt::CaseSensitive);
}

// Loads one slot file and records its path. A file that does not load leaves the slot empty,
// as it would be in a model that never held another project, and `why` says why. Returns
// whether the slot took the file.
bool load_slot(EditingModel& model, int slot, const QString& path, QString& why) {
    model.slot_files[static_cast<size_t>(slot)] = path;
    if (!load_slot_image(model, slot, path, png_by_name(path), why)) {
        empty_slot(model, slot);
        return false;
    }
    return true;
}

// A folder that is gone (a project moved, or made on another machine) gives way to the state
// file's own folder, where a moved project's files are.
void set_export_folder(EditingModel& model, const QString& drive, const QString& folder,
                       const QDir& state_folder, StateReadReport& report) {
    const FileSystem& fs = model.export_lists.file_system();
    if (QFileInfo(folder).isDir()) {
        model.export_lists.set_drive(drive.isEmpty() ? fs.root_of(folder) : drive);
        model.export_lists.set_path(folder);
        return;
    }
    report.export_folder_missing = folder;
    const QString home = state_folder.absolutePath();
    model.export_lists.set_path(home);
    model.export_lists.set_drive(fs.root_of(home));
    // A drive change moves the folder list to the drive's top; the state file's folder is meant.
    if (model.export_lists.path() != home) {
        model.export_lists.set_path(home);
    }
}

struct Part2 {
    int16_t adjust_x, adjust_y, sc_bar;
    QString pattern, drive, folder, basename, path_ref;
};

std::expected<Part2, QString> read_part2(ItemReader& in) {
    Part2 p;
    for (int16_t* value : {&p.adjust_x, &p.adjust_y, &p.sc_bar}) {
        auto item = in.read_int16();
        if (!item) {
            return std::unexpected(item.error());
        }
        *value = *item;
    }
    for (QString* text : {&p.pattern, &p.drive, &p.folder, &p.basename, &p.path_ref}) {
        auto item = in.read_string();
        if (!item) {
            return std::unexpected(item.error());
        }
        *text = std::move(*item);
    }
    return p;
}

struct Part4 {
    bool from_file;
    uint32_t color;
    int64_t width, height;  ///< twips, as stored; checked only for a plain background
};

// Whether a stored plain background size makes a background: twips that fit 16 bits and give
// at least one whole pixel, as the background window demands.
bool usable_plain_size(int64_t twips) {
    return twips > 0 && fits_int16(twips) && twips_to_pixels(twips) >= 1;
}

std::expected<Part4, QString> read_part4(ItemReader& in) {
    auto from_file = in.read_bool();
    if (!from_file) {
        return std::unexpected(from_file.error());
    }
    auto color = in.read_int(0, 0xFFFFFF);
    if (!color) {
        return std::unexpected(color.error());
    }
    auto width = in.read_int(INT64_MIN, INT64_MAX);
    if (!width) {
        return std::unexpected(width.error());
    }
    auto height = in.read_int(INT64_MIN, INT64_MAX);
    if (!height) {
        return std::unexpected(height.error());
    }
    return Part4{*from_file, static_cast<uint32_t>(*color), *width, *height};
}

// Everything after the file is open. Returns the message of the first bad item.
// `background_loaded` tells whether slot 0 took a new file, or was emptied, before the read
// stopped.
std::expected<void, QString> read_items(EditingModel& model, ItemReader& in,
                                        const QDir& state_folder, bool& background_loaded,
                                        StateReadReport& report) {
    for (int i = 0; i < kSlotCount; ++i) {
        auto stored = in.read_string();
        if (!stored) {
            return std::unexpected(stored.error());
        }
        if (i == kBackgroundSlot) {
            background_loaded = true;
        }
        if (stored->isEmpty()) {
            // A slot the file leaves empty is empty after the read, as on the command line: a
            // picture of the project read before must not stay in it.
            model.slot_files[static_cast<size_t>(i)].clear();
            empty_slot(model, i);
            continue;
        }
        const QString path = find_slot_file(*stored, state_folder);
        if (path.isEmpty()) {
            // The path stays recorded, so that a later SAVE keeps it for when the file is back.
            model.slot_files[static_cast<size_t>(i)] = *stored;
            empty_slot(model, i);
            report.slot_failures.push_back(
                {i, *stored, QCoreApplication::translate("ReadState", "ファイルが見つかりません")});
            continue;
        }
        QString why;
        if (!load_slot(model, i, path, why)) {
            report.slot_failures.push_back({i, path, why});
        }
    }

    fit_ranges_to_background(model);
    // The bar values set below must not draw the adjust view.
    model.adjust_mode = 0;

    auto part2 = read_part2(in);
    if (!part2) {
        return std::unexpected(part2.error());
    }
    model.adjust_x.set_value(part2->adjust_x);
    model.adjust_y.set_value(part2->adjust_y);
    model.sc_bar.set_value(part2->sc_bar);
    model.pattern_anime.set_text(part2->pattern);
    set_export_folder(model, part2->drive, part2->folder, state_folder, report);
    model.path_ref.caption = part2->path_ref;

    model.step_dx.fill(0);
    model.step_dy.fill(0);
    if (!in.at_end()) {
        // The pattern box holds at most kMaxSteps characters, so a longer stored pattern has
        // already been cut and its steps fit the tables.
        const auto steps = std::min<qsizetype>(model.pattern_anime.text().size(), kMaxSteps);
        for (qsizetype j = 0; j < steps; ++j) {
            auto dx = in.read_int16();
            if (!dx) {
                return std::unexpected(dx.error());
            }
            model.step_dx[j] = *dx;
            auto dy = in.read_int16();
            if (!dy) {
                return std::unexpected(dy.error());
            }
            model.step_dy[j] = *dy;
        }
    }

    if (!in.at_end()) {
        auto part4 = read_part4(in);
        if (!part4) {
            return std::unexpected(part4.error());
        }
        const bool plain_usable =
            usable_plain_size(part4->width) && usable_plain_size(part4->height);
        if (part4->from_file) {
            // The size is the plain background's and matters only for it.
            model.bg_from_file = -1;
            model.bg_color = part4->color;
            if (plain_usable) {
                model.stage_width = static_cast<int16_t>(part4->width);
                model.stage_height = static_cast<int16_t>(part4->height);
            }
        } else if (!plain_usable) {
            report.background_refused =
                QCoreApplication::translate(
                    "ReadState",
                    "無地の背景の大きさ %1 x %2 twip は使えないので、背景はそのままです")
                    .arg(part4->width)
                    .arg(part4->height);
        } else {
            model.bg_from_file = 0;
            model.bg_color = part4->color;
            model.stage_width = static_cast<int16_t>(part4->width);
            model.stage_height = static_cast<int16_t>(part4->height);
            Surface& background = model.pic[kBackgroundSlot];
            background.resize_twips(model.stage_width, model.stage_height);
            background.fill(rgb_from_bgr(model.bg_color));
        }
    }

    // A base name is joined to the export folder: one that would lead out of it, or cut the
    // name short, is not taken.
    if (const QString fault = base_name_fault(part2->basename); fault.isEmpty()) {
        model.basename.set_text(part2->basename);
    } else {
        report.basename_refused = fault;
    }
    return {};
}

}  // namespace

std::expected<StateReadReport, QString> read_state(EditingModel& model, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    const auto failed = [&path](const QString& why) {
        return std::unexpected(state_unread_message(path, why));
    };
    if (info.isDir()) {
        return failed(QCoreApplication::translate("ReadState", "フォルダです"));
    }
    if (info.size() > kMaxStateFileBytes) {
        return failed(QCoreApplication::translate("ReadState", "状態ファイルにしては大きすぎます"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failed(file.errorString());
    }
    // read(n) reserves n bytes up front; read what is there, in steps, up to the limit.
    QByteArray bytes;
    while (bytes.size() <= kMaxStateFileBytes) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty()) {
            break;
        }
        bytes += chunk;
    }
    file.close();
    if (bytes.size() > kMaxStateFileBytes) {
        return failed(QCoreApplication::translate("ReadState", "状態ファイルにしては大きすぎます"));
    }
    return read_state_bytes(model, bytes, info.absoluteDir(), path);
}

std::expected<StateReadReport, QString> read_state_bytes(EditingModel& model,
                                                         const QByteArray& bytes,
                                                         const QDir& folder, const QString& name) {
    const auto failed = [&name](const QString& why) {
        return std::unexpected(state_unread_message(name, why));
    };
    StateBytes parts = split_extension_record(bytes);
    // Files koma writes say they are UTF-8; the others are judged by their bytes.
    auto text = parts.record ? std::expected<QString, QString>(decode_utf8_state_text(parts.body))
                             : decode_state_text(parts.body);
    if (!text) {
        return failed(text.error());
    }

    ItemReader in(std::move(*text));
    bool background_loaded = false;
    StateReadReport report;
    auto read = read_items(model, in, folder, background_loaded, report);
    if (!read) {
        // Keep what was restored, but never leave the stage and the bars out of step with a
        // background that was already replaced.
        if (background_loaded) {
            fit_ranges_to_background(model);
            model.adjust_mode = 0;
            fit_stage_to_background(model);
        }
        return failed(read.error());
    }
    fit_stage_to_background(model);
    // A file without the record (an older one, or one made elsewhere) reads with the defaults.
    apply_extension_record(model, parts.record.value_or(ExtensionRecord{}));
    return report;
}

QString state_unread_message(const QString& name, const QString& why) {
    return QCoreApplication::translate("ReadState", "状態ファイル「%1」を読めません。\n%2")
        .arg(name, why);
}

QString slot_caption(int slot) {
    if (slot == kBackgroundSlot) {
        return QCoreApplication::translate("ReadState", "背景");
    }
    if (slot == kForegroundSlot) {
        return QCoreApplication::translate("ReadState", "前景");
    }
    return QString::number(slot);
}

QString state_read_message(const std::expected<StateReadReport, QString>& outcome) {
    if (!outcome) {
        return outcome.error();
    }
    QStringList lines;
    if (!outcome->slot_failures.empty()) {
        lines << QCoreApplication::translate("ReadState",
                                             "読み込めなかった画像があります。その枠は空です。");
        for (const SlotLoadFailure& failure : outcome->slot_failures) {
            lines << QCoreApplication::translate("ReadState", "%1「%2」: %3")
                         .arg(slot_caption(failure.slot), failure.path, failure.reason);
        }
    }
    if (!outcome->background_refused.isEmpty()) {
        lines << outcome->background_refused;
    }
    if (!outcome->basename_refused.isEmpty()) {
        lines << QCoreApplication::translate("ReadState", "%1。ベース名はそのままです")
                     .arg(outcome->basename_refused);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace koma
