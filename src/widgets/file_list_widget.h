#pragma once

#include <QListWidget>

namespace koma {

/// The list widget of a file list. It tells a file the user chose from a current row that only
/// Qt set: chosen() is emitted when a mouse press or drag over the list, or a key pressed in it,
/// moves the current row to a file, and when the user clicks the file that was already current.
/// The focus arriving (Qt then makes the first row current), a reload and a current row set by
/// code emit nothing.
class FileListWidget : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListWidget(QWidget* parent = nullptr);

  signals:
    /// The user chose the file in `row` (0 or more).
    void chosen(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    // How many user input handlers are running; a row change counts only inside one.
    int user_input_ = 0;
    int row_at_press_ = -1;
};

}  // namespace koma
