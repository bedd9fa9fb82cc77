// A child window of the frame: closing it only minimises it, so it lives until the end.
#pragma once

#include <QMdiSubWindow>

namespace glossek {

class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace glossek
