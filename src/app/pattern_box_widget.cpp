#include "app/pattern_box_widget.h"

#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

#include "compose/pattern_cursor.h"

namespace koma {

namespace {

// QLineEdit draws its text this many pixels inside its contents rectangle, in every style.
constexpr int kLineEditInnerMargin = 2;
constexpr int kBorder = 1;

}  // namespace

void style_pattern_box(QLineEdit* box) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    font.setStyleHint(QFont::Monospace);
    box->setFont(font);
    // A style sheet fixes the border, so that the text start does not depend on the platform's
    // style; the text margin pulls the text back to its place.
    box->setStyleSheet(
        QStringLiteral("QLineEdit { border: %1px solid palette(dark); padding: 0px; margin: 0px; }")
            .arg(kBorder));
    box->setTextMargins(kPatternTextStart - kBorder - kLineEditInnerMargin, 0, 0, 0);

    // The step under the edit cursor stays marked while the focus is parked elsewhere.
    QPalette palette = box->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    box->setPalette(palette);
}

void bind_pattern_selection(QLineEdit* box, EditingModel& model) {
    QObject::connect(box, &QLineEdit::selectionChanged, box, [box, &model] {
        TextBox& pattern = model.pattern_anime;
        const int length = static_cast<int>(box->selectedText().size());
        const int start = length > 0 ? box->selectionStart() : 0;
        if (model.fine_adjust == 0) {
            pattern.select(start, length);
            return;
        }
        if (start == pattern.sel_start() && length == pattern.sel_length()) {
            return;
        }
        const QSignalBlocker blocker(box);
        if (pattern.sel_length() > 0) {
            box->setSelection(pattern.sel_start(), pattern.sel_length());
        } else {
            box->deselect();
        }
    });
}

}  // namespace koma
