#include "compose/step_time.h"

#include <QCoreApplication>

#include "compose/animation_preview.h"
#include "compose/pattern_cursor.h"

namespace koma {

namespace {

/// The edit cursor's step while fine adjustment is on, else -1.
int edited_step(const EditingModel& m) {
    if (m.fine_adjust == 0 || m.edit_cursor < 0 || m.edit_cursor >= kMaxSteps) {
        return -1;
    }
    return m.edit_cursor;
}

class StepTimeCommand : public ModelEditCommand {
  public:
    StepTimeCommand(EditingModel& model, const QString& text)
        : ModelEditCommand(
              model, QCoreApplication::translate("StepTime", "コマの時間の入力"),
              [&model, text] { step_time_typed(model, text); }, kMergeStepTime, model.edit_cursor),
          step_(model.edit_cursor) {}

  protected:
    void restored(bool undone) override {
        (void)undone;
        show_edited_step(model_, step_);
    }

  private:
    int step_;
};

}  // namespace

std::optional<int> read_step_time(const QString& text) {
    // Compatibility normalisation turns full-width digits into ASCII ones.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain.isEmpty()) {
        return 0;
    }
    for (QChar c : plain) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qlonglong ms = plain.toLongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;  // more digits than any time has
    }
    if (ms == 0) {
        return 0;
    }
    if (ms < kMinFrameMs || ms > kMaxFrameMs) {
        return std::nullopt;
    }
    return static_cast<int>(ms);
}

QString step_time_text(const EditingModel& m) {
    const int step = edited_step(m);
    if (step < 0 || m.step_ms[step] == 0) {
        return {};
    }
    return QString::number(m.step_ms[step]);
}

void step_time_typed(EditingModel& m, const QString& text) {
    const int step = edited_step(m);
    const std::optional<int> ms = read_step_time(text);
    if (step < 0 || !ms) {
        return;
    }
    m.step_ms[step] = static_cast<uint16_t>(*ms);
    retime_preview(m);
}

void step_time_left(EditingModel& m, const QString& text) {
    if (edited_step(m) < 0 || read_step_time(text)) {
        return;
    }
    m.status.report(QCoreApplication::translate("StepTime",
                                                "コマの時間「%1」は使えません。%2 ～ %3 ミリ秒、"
                                                "または空（1コマの時間）にしてください。")
                        .arg(text)
                        .arg(kMinFrameMs)
                        .arg(kMaxFrameMs),
                    true);
}

std::unique_ptr<ModelEditCommand> step_time_edit(EditingModel& model, const QString& text) {
    return std::make_unique<StepTimeCommand>(model, text);
}

}  // namespace koma
