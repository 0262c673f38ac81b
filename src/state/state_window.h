#pragma once

#include <QWidget>
#include <cstdint>
#include <expected>
#include <functional>

#include "state/state_window_model.h"
#include "widgets/file_list_widget.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace koma {

class FileListBinding;
class FolderListsBinding;

/// The state window "Form3", captioned "状態のSAVE&LOAD": a thin view of a StateWindowModel. It is
/// a top-level, non-modal window owned by the main window and is destroyed when it closes.
class Form3 : public QWidget {
    Q_OBJECT
  public:
    /// Creates the window over `model` and runs its creation steps; opening it is
    /// open_state_window's work. `fs` must outlive the window; null means the machine's file
    /// system.
    Form3(EditingModel& model, QWidget* owner, const FileSystem* fs = nullptr);
    ~Form3() override;

    StateWindowModel& state() { return state_; }
    /// Whether the window has been closed and waits to be destroyed.
    bool closing() const { return closing_; }

    /// Copies the window model into the widgets, with their signals blocked.
    void refresh();

    /// Shows a failure of load_save to the user; a message box unless replaced.
    std::function<void(const QString&)> show_message;

    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QComboBox* Combo1 = nullptr;
    FileListWidget* File1 = nullptr;
    QLineEdit* file_name = nullptr;
    QPushButton* Command1 = nullptr;
    /// The state files read or written lately; a double-click reads one as LOAD does.
    QListWidget* recent_list = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_controls();
    void connect_input();
    void refresh_recent();
    /// After a handler: refreshes both windows, reports a failure and closes when asked to.
    void finish(const StateOutcome& result);

    EditingModel& model_;
    StateWindowModel state_;
    FolderListsBinding* lists_binding_ = nullptr;
    FileListBinding* file_binding_ = nullptr;
    bool closing_ = false;
};

/// "SAVE" (mode 2) and "LOAD" (mode 1) of the main window `owner`: creates the state window if
/// it is not open (its creation steps run first), puts it on the program's folder, sets
/// state_mode, and shows it, non-modal, in front. Returns the window.
Form3* open_state_window(EditingModel& model, int16_t mode, QWidget* owner);

}  // namespace koma
