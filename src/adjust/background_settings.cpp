#include "adjust/background_settings.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>
#include <expected>

#include "raster/colour.h"
#include "raster/twips.h"

namespace koma {

namespace {

/// The largest whole plain background size in pixels whose twips fit 16 bits.
constexpr int kLargestPlainPixels = INT16_MAX / kTwipsPerPixel;

/// A pixel length in plain decimal text: whole sizes without a fraction.
QString pixels_text(int twips) {
    return QString::number(static_cast<double>(twips) / kTwipsPerPixel, 'g', 7);
}

/// The twips of a typed pixel size, or why the text is no usable size.
std::expected<int16_t, QString> size_twips(const QString& text) {
    // Full-width digits and signs, as a Japanese input method types them, read as ASCII.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    bool ok = false;
    const double pixels = plain.toDouble(&ok);
    if (!ok || !std::isfinite(pixels)) {
        return std::unexpected(
            QCoreApplication::translate("BackgroundSettings", "数ではありません"));
    }
    const double twips = pixels > 0 ? round_half_even(pixels * kTwipsPerPixel) : 0;
    if (twips > INT16_MAX) {
        return std::unexpected(QCoreApplication::translate("BackgroundSettings", "大きすぎます"));
    }
    // A size that rounds to no pixel at all would leave an empty stage.
    if (pixels <= 0 || twips_to_pixels(static_cast<int64_t>(twips)) < 1) {
        return std::unexpected(QCoreApplication::translate("BackgroundSettings", "小さすぎます"));
    }
    return static_cast<int16_t>(twips);
}

void refuse(TextBox& box) { box.select(0, static_cast<int>(box.text().size())); }

/// One line for a box whose size is refused: its caption, what it holds and why.
QString refused_line(const char* caption, const TextBox& box, const QString& why) {
    return QCoreApplication::translate("BackgroundSettings", "%1「%2」は%3。")
        .arg(QCoreApplication::translate("BackgroundSettings", caption), box.text(), why);
}

}  // namespace

void Form5_Load(EditingModel& m, BackgroundSettings& form) {
    m.background_window_open = true;
    const Surface& background = m.pic[kBackgroundSlot];
    form.Text1.set_text(pixels_text(background.width_twips()));
    form.Text2.set_text(pixels_text(background.height_twips()));
    form.Text1.select(0, 0);
    form.Text2.select(0, 0);
    form.color_window.fill(rgb_from_bgr(m.bg_color));
    if (m.bg_from_file == -1) {
        Form5_Option2_Click(m, form);
    } else {
        form.option = BackgroundOption::Plain;
        form.inputs_enabled = true;
    }
}

void Form5_Option1_Click(EditingModel& m, BackgroundSettings& form) {
    form.option = BackgroundOption::Plain;
    form.inputs_enabled = true;
    m.bg_from_file = 0;
}

void Form5_Option2_Click(EditingModel& m, BackgroundSettings& form) {
    form.option = BackgroundOption::File;
    form.inputs_enabled = false;
    m.bg_from_file = -1;
}

bool Form5_color_window_Click(EditingModel& m, BackgroundSettings& form, uint32_t picked) {
    if (!form.inputs_enabled) {
        return false;
    }
    m.bg_color = picked & 0x00FFFFFFu;
    form.color_window.fill(rgb_from_bgr(m.bg_color));
    return true;
}

BackgroundOkResult Form5_Command1_Click(EditingModel& m, BackgroundSettings& form) {
    if (form.option == BackgroundOption::File) {
        m.bg_from_file = -1;
        Form5_Unload(m);
        return BackgroundOkResult::Closed;
    }
    const auto width = size_twips(form.Text1.text());
    const auto height = size_twips(form.Text2.text());
    if (!width || !height) {
        QStringList lines;
        if (!width)
            lines << refused_line(QT_TRANSLATE_NOOP("BackgroundSettings", "よこ"), form.Text1,
                                  width.error());
        if (!height)
            lines << refused_line(QT_TRANSLATE_NOOP("BackgroundSettings", "たて"), form.Text2,
                                  height.error());
        lines << QCoreApplication::translate(
                     "BackgroundSettings",
                     "大きさは 1 ～ %1 ピクセルで入れてください（小数も使えます）。")
                     .arg(kLargestPlainPixels);
        form.refusal = lines.join(QLatin1Char('\n'));
        refuse(width ? form.Text2 : form.Text1);
        return width ? BackgroundOkResult::RefusedText2 : BackgroundOkResult::RefusedText1;
    }
    form.refusal.clear();

    m.bg_from_file = 0;
    m.stage_width = *width;
    m.stage_height = *height;
    Surface& background = m.pic[kBackgroundSlot];
    background.resize_twips(m.stage_width, m.stage_height);
    background.fill(rgb_from_bgr(m.bg_color));
    m.win_main.resize_twips(background.width_twips(), background.height_twips());
    Form5_Unload(m);
    return BackgroundOkResult::Closed;
}

void Form5_Command2_Click(EditingModel& m) { Form5_Unload(m); }

void Form5_Unload(EditingModel& m) { m.background_window_open = false; }

}  // namespace koma
