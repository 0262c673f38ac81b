#pragma once

#include <QWidget>
#include <memory>

#include "import/picker_model.h"
#include "widgets/file_list_widget.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace koma {

class FileListBinding;
class FolderListsBinding;

/// The image picker "ファイルを開く": a thin, non-modal view of a PickerModel. Created on first
/// use (its load steps run then) and destroyed when closed.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    /// A picker opened for `slot` (-1: none; see PickerModel::Form2_Load). `fs` must outlive
    /// the window; null means the machine's file system.
    explicit Form2(EditingModel& model, QWidget* parent = nullptr, const FileSystem* fs = nullptr,
                   int slot = -1);
    ~Form2() override;

    PickerModel& picker() { return *picker_; }
    /// Whether the window has been closed (it is deleted soon after).
    bool closed() const { return closed_; }
    void refresh();

    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QComboBox* Combo1 = nullptr;
    FileListWidget* File1 = nullptr;
    QLabel* Label2 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    /// The line that tells about a file that could not be loaded.
    QLabel* notice = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    template <typename F>
    void forward(F&& handler) {
        handler();
        model_.notify();
    }

    EditingModel& model_;
    std::unique_ptr<PickerModel> picker_;
    FolderListsBinding* lists_binding_ = nullptr;
    FileListBinding* file_binding_ = nullptr;
    bool closed_ = false;
};

/// A click on `pic(slot)`: shows the picker of `main_window` (creating it, with its load steps,
/// when none is open, else only bringing it forward), then selects `slot`.
Form2* open_picker(EditingModel& model, int slot, QWidget* main_window);

}  // namespace koma
