#include "import/file_drop.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "codecs/picture_loader.h"
#include "model/slot_loader.h"

namespace koma {

namespace {

FileDrop refused(const QString& message) {
    FileDrop drop;
    drop.message = message;
    return drop;
}

// Names compared with their runs of digits as numbers: "walk2" before "walk10".
bool natural_less(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype i_end = i, j_end = j;
            while (i_end < a.size() && a[i_end].isDigit()) {
                ++i_end;
            }
            while (j_end < b.size() && b[j_end].isDigit()) {
                ++j_end;
            }
            // Leading zeros do not count; a longer run of significant digits is larger.
            QStringView x = QStringView(a).sliced(i, i_end - i);
            QStringView y = QStringView(b).sliced(j, j_end - j);
            while (x.size() > 1 && x.front() == QLatin1Char('0')) {
                x = x.sliced(1);
            }
            while (y.size() > 1 && y.front() == QLatin1Char('0')) {
                y = y.sliced(1);
            }
            if (x.size() != y.size()) {
                return x.size() < y.size();
            }
            if (const int c = x.compare(y); c != 0) {
                return c < 0;
            }
            i = i_end;
            j = j_end;
            continue;
        }
        const int c =
            QStringView(a).sliced(i, 1).compare(QStringView(b).sliced(j, 1), Qt::CaseInsensitive);
        if (c != 0) {
            return c < 0;
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace

bool is_image_by_content(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(8);
    static const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    return head == png || head.startsWith("BM") || head.startsWith("\xff\xd8\xff");
}

FileDrop plan_file_drop(const QStringList& paths, int slot) {
    if (paths.isEmpty()) {
        return refused(
            QCoreApplication::translate("FileDrop", "落とされたものにファイルがありません"));
    }
    const auto is_state = [](const QString& path) {
        return path.endsWith(QLatin1String(".pst"), Qt::CaseInsensitive);
    };
    if (std::any_of(paths.begin(), paths.end(), is_state)) {
        if (paths.size() != 1) {
            return refused(
                QCoreApplication::translate("FileDrop", "状態ファイルは1つだけ落としてください"));
        }
        FileDrop drop;
        drop.kind = FileDrop::Kind::LoadState;
        drop.state_file = QFileInfo(paths.front()).absoluteFilePath();
        return drop;
    }
    if (slot < 0 || slot >= kSlotCount) {
        return refused(
            QCoreApplication::translate("FileDrop", "画像は画像の枠の上に落としてください"));
    }
    const bool frame_slot = slot != kBackgroundSlot && slot != kForegroundSlot;
    if (paths.size() > 1 && !frame_slot) {
        return refused(QCoreApplication::translate(
            "FileDrop", "背景と前景の枠には画像を1枚ずつ落としてください"));
    }
    const int room = frame_slot ? 10 - slot : 1;
    if (paths.size() > room) {
        return refused(
            QCoreApplication::translate("FileDrop", "枠%1から9までに入る画像は%2枚までです（%3枚）")
                .arg(slot)
                .arg(room)
                .arg(paths.size()));
    }

    QStringList ordered = paths;
    // QCollator's numeric mode needs ICU, which not every Qt build has.
    std::stable_sort(ordered.begin(), ordered.end(), [](const QString& a, const QString& b) {
        return natural_less(QFileInfo(a).fileName(), QFileInfo(b).fileName());
    });

    FileDrop drop;
    drop.kind = FileDrop::Kind::LoadImages;
    for (qsizetype i = 0; i < ordered.size(); ++i) {
        const QString& path = ordered[i];
        const QString name = QFileInfo(path).fileName();
        if (!is_image_by_content(path)) {
            return refused(QCoreApplication::translate("FileDrop",
                                                       "「%1」はPNG・BMP・JPEGの画像ではありません")
                               .arg(name));
        }
        // Every file is decoded before any slot changes.
        const auto picture = load_picture(path);
        if (!picture) {
            return refused(QCoreApplication::translate("FileDrop", "「%1」を読み込めません：%2")
                               .arg(name, picture.error()));
        }
        drop.images.push_back({slot + static_cast<int>(i), path});
    }
    return drop;
}

QStringList load_dropped_images(EditingModel& model, const std::vector<SlotFile>& images) {
    QStringList failures;
    for (const SlotFile& image : images) {
        QString message;
        if (!load_slot_file(model, image.slot, image.path, false, message)) {
            failures << QCoreApplication::translate("FileDrop", "「%1」を読み込めません：%2")
                            .arg(QFileInfo(image.path).fileName(), message);
        }
    }
    model.request_focus(QStringLiteral("pic_dummy"));
    return failures;
}

}  // namespace koma
