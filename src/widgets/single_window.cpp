#include "widgets/single_window.h"

namespace koma {

void bring_to_front(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace koma
