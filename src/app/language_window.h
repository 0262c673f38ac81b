#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace koma {

class LanguageChoice;

/// The window "表示言語": chooses the language of the windows from the next start on. Its list
/// offers the system's language and every language koma has, each by its own name; a choice is
/// remembered at once in `choice`, and a note says that it holds from the next start. Deletes
/// itself when closed.
class LanguageWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LanguageWindow(LanguageChoice& choice, QWidget* parent = nullptr);

    /// Row 0 follows the system; row 1 + i is ui_languages()[i].
    QComboBox* language = nullptr;
    QLabel* note = nullptr;
    QPushButton* close_button = nullptr;

  private:
    LanguageChoice& choice_;
};

}  // namespace koma
