#include "import/picker_model.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "compose/pattern_cursor.h"
#include "model/edit_history.h"
#include "model/slot_loader.h"

namespace koma {

namespace {

// The captions of the slots, put into the user's language when the picker fills slot_names.
const std::array<const char*, kSlotCount> kSlotNames{
    QT_TRANSLATE_NOOP("PickerModel", "背景"),       QT_TRANSLATE_NOOP("PickerModel", "パターン１"),
    QT_TRANSLATE_NOOP("PickerModel", "パターン２"), QT_TRANSLATE_NOOP("PickerModel", "パターン３"),
    QT_TRANSLATE_NOOP("PickerModel", "パターン４"), QT_TRANSLATE_NOOP("PickerModel", "パターン５"),
    QT_TRANSLATE_NOOP("PickerModel", "パターン６"), QT_TRANSLATE_NOOP("PickerModel", "パターン７"),
    QT_TRANSLATE_NOOP("PickerModel", "パターン８"), QT_TRANSLATE_NOOP("PickerModel", "パターン９"),
    QT_TRANSLATE_NOOP("PickerModel", "前景")};

}  // namespace

PickerModel::PickerModel(EditingModel& m, const FileSystem* fs) : model(m), lists(fs), File1(fs) {
    lists.set_home_folder(model.program_folder());
}

PickerModel::~PickerModel() { model.picker_open = false; }

QString PickerModel::first_folder(int slot) const {
    QStringList candidates;
    if (slot >= 0 && slot < kSlotCount) {
        if (const QString& image = model.slot_files[static_cast<size_t>(slot)]; !image.isEmpty()) {
            candidates << QFileInfo(image).absolutePath();
        }
    }
    if (const QString state = last_state_file(model); !state.isEmpty()) {
        candidates << QFileInfo(state).absolutePath();
    }
    candidates << model.path_ref.caption;
    for (const QString& folder : candidates) {
        if (!folder.isEmpty() && lists.file_system().list(folder)) {
            return folder;
        }
    }
    return model.start_folder();
}

void PickerModel::Form2_Load(int slot) {
    model.picker_open = true;
    HScroll1.on_change = [this] {
        Label2.caption = model.slot_names[static_cast<size_t>(HScroll1.value())];
    };
    lists.on_folder_change = [this] { folder_changed(); };

    // The drive change below rewrites path_ref, so the folder to open is taken first.
    const QString folder = first_folder(slot);
    lists.set_drive(lists.file_system().root_of(folder));
    lists.set_path(folder);

    const bool remembered = !model.picker_file_pattern.isEmpty();
    File1.set_pattern(remembered ? model.picker_file_pattern : QStringLiteral("*.BMP"));
    Combo1_text = remembered ? model.picker_filter_text : QStringLiteral("*.BMP");
    Combo1_items = {QStringLiteral("*.BMP"), QStringLiteral("*.JPG"), kPngFilter};
    for (int i = 0; i < kSlotCount; ++i) {
        model.slot_names[static_cast<size_t>(i)] =
            QCoreApplication::translate("PickerModel", kSlotNames[static_cast<size_t>(i)]);
    }
    leave_fine_adjust(model);
}

void PickerModel::open_slot(int slot) {
    Q_ASSERT(slot >= 0 && slot < kSlotCount);
    Label2.caption = model.slot_names[static_cast<size_t>(slot)];
    HScroll1.set_value(slot);
}

void PickerModel::Command2_Click() { HScroll1.set_value((HScroll1.value() + 1) % kSlotCount); }

void PickerModel::Combo1_Click(int item) {
    if (item < 0 || item >= Combo1_items.size()) {
        return;
    }
    Combo1_text = Combo1_items[item];
    File1.set_pattern(Combo1_text);
    remember_filter();
}

void PickerModel::set_combo_text(const QString& text) {
    Combo1_text = text;
    remember_filter();
}

void PickerModel::remember_filter() {
    model.picker_filter_text = Combo1_text;
    model.picker_file_pattern = File1.pattern();
}

void PickerModel::File1_Click(int index) {
    File1.select(index);
    const QString name = File1.file_name();
    if (name.isEmpty()) {
        return;
    }
    const int slot = HScroll1.value();
    // The separator is always added: a folder that ends in one gives "//", which still opens.
    model.work_path = lists.path() + QLatin1Char('/') + name;
    QString message;
    if (load_slot_file(model, slot, model.work_path, Combo1_text == kPngFilter, message)) {
        notice.clear();
    } else {
        notice = QCoreApplication::translate("PickerModel", "「%1」を読み込めません：%2")
                     .arg(name, message);
    }
}

void PickerModel::folder_changed() {
    File1.set_folder(lists.path());
    model.path_ref.caption = lists.path();
    notice = File1.error();
}

}  // namespace koma
