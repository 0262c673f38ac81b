#include "platform/top_most.h"

#include <QWindow>

namespace koma {

bool TopMostOn(QWindow* window) {
    if (window == nullptr) {
        return false;
    }
    window->setFlag(Qt::WindowStaysOnBottomHint, false);
    window->setFlag(Qt::WindowStaysOnTopHint, true);
    window->show();
    window->raise();
    return window->flags().testFlag(Qt::WindowStaysOnTopHint);
}

bool TopMostOff(QWindow* window) {
    if (window == nullptr) {
        return false;
    }
    window->setFlag(Qt::WindowStaysOnTopHint, false);
    window->show();
    window->lower();
    return !window->flags().testFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace koma
