#include "app/child_window.h"

#include <QCloseEvent>

namespace glossek {

void ChildWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    showMinimized();
}

}  // namespace glossek
