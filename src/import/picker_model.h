#pragma once

#include <QString>
#include <QStringList>

#include "model/controls.h"
#include "model/editing_model.h"
#include "model/file_list.h"
#include "model/folder_lists.h"

namespace koma {

/// The exact filter text that selects the PNG loader; any other text (even "*.png") uses the
/// platform's picture loader.
inline const QString kPngFilter = QStringLiteral("*.PNG");

/// The control values and handlers of the image picker "ファイルを開く" (Form2). It lives as
/// long as the picker window; the editing model's `picker_open` is true from Form2_Load until
/// the picker model is destroyed.
class PickerModel {
  public:
    /// `fs` must outlive the picker; null means the machine's file system.
    explicit PickerModel(EditingModel& model, const FileSystem* fs = nullptr);
    ~PickerModel();
    PickerModel(const PickerModel&) = delete;
    PickerModel& operator=(const PickerModel&) = delete;

    /// The window's creation, opened for `slot` (-1: none yet): the lists at the first folder
    /// that can be listed of the folder of the slot's image, the folder of the state file last
    /// read or written, the folder in `path_ref` and the model's start folder; the filter as
    /// the user left it in the last picker ("*.BMP" at first), the three filter choices,
    /// `slot_names`, and the main window leaves fine adjustment with the pattern cursor back at
    /// step 0.
    void Form2_Load(int slot = -1);
    /// A click on `pic(slot)` while the picker is open (and right after it was created).
    void open_slot(int slot);
    /// "next": the following slot, 10 wrapping to 0.
    void Command2_Click();
    /// A filter chosen from the combo box's list: it becomes the text and the file pattern, and
    /// the next picker starts with it.
    void Combo1_Click(int item);
    /// Text typed into the combo box: the file pattern does not change; the next picker starts
    /// with the text and the pattern as they are.
    void set_combo_text(const QString& text);
    /// The selected file changed (mouse or keys): loads it into the selected slot.
    void File1_Click(int index);

    EditingModel& model;
    FolderLists lists;  ///< Drive1 and Dir1
    FileList File1;
    ScrollBar HScroll1{0, 10, 0};
    Label Label2{QStringLiteral("0")};
    QString Combo1_text;
    QStringList Combo1_items;
    /// The line that tells the user about a file that could not be loaded or a folder that
    /// could not be read; "" when all is well.
    QString notice;

  private:
    void folder_changed();
    /// Where the lists start for `slot` (see Form2_Load).
    QString first_folder(int slot) const;
    /// Keeps the filter as it is now for the next picker.
    void remember_filter();
};

}  // namespace koma
