#include "widgets/file_list_widget.h"

namespace koma {

namespace {

// Marks the time a user input handler runs.
class InputScope {
  public:
    explicit InputScope(int& depth) : depth_(depth) { ++depth_; }
    ~InputScope() { --depth_; }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;

  private:
    int& depth_;
};

}  // namespace

FileListWidget::FileListWidget(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (user_input_ > 0 && row >= 0) {
            emit chosen(row);
        }
    });
    // A click on the file that was current already chooses it again (into another slot, say).
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = this->row(item);
        if (row >= 0 && row == row_at_press_) {
            emit chosen(row);
        }
    });
}

void FileListWidget::keyPressEvent(QKeyEvent* event) {
    const InputScope scope(user_input_);
    QListWidget::keyPressEvent(event);
}

void FileListWidget::mousePressEvent(QMouseEvent* event) {
    row_at_press_ = currentRow();
    const InputScope scope(user_input_);
    QListWidget::mousePressEvent(event);
}

void FileListWidget::mouseMoveEvent(QMouseEvent* event) {
    const InputScope scope(user_input_);
    QListWidget::mouseMoveEvent(event);
}

}  // namespace koma
