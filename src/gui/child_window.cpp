// SPDX-License-Identifier: MIT
#include "gui/child_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>
#include <algorithm>

namespace glossek {

namespace {

constexpr Qt::WindowStates kIconOrWhole = Qt::WindowMinimized | Qt::WindowMaximized;

}  // namespace

ChildWindow::ChildWindow(QWidget* content, QSize design_size, QWidget* parent)
    : QMdiSubWindow(parent), design_size_(design_size) {
    setObjectName(content->objectName() + QStringLiteral("_window"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWidget(content);
    setWindowTitle(content->windowTitle());
    setWindowIcon(content->windowIcon());
    // The caption follows the content's, so a language switch sets it in one place.
    content->installEventFilter(this);
    resize(design_size_);
    if (QMenu* menu = systemMenu()) {
        for (QAction* item : menu->actions()) {
            system_menu_texts_.append(item->text().toUtf8());
        }
    }
}

bool ChildWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::WindowTitleChange &&
        windowTitle() != widget()->windowTitle()) {
        setWindowTitle(widget()->windowTitle());
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    showMinimized();
}

void ChildWindow::translate_system_menu() {
    // The toolkit writes this menu once; it follows the language from its first texts.
    if (systemMenu() == nullptr) {
        return;
    }
    const QList<QAction*> items = systemMenu()->actions();
    for (qsizetype i = 0; i < items.size() && i < system_menu_texts_.size(); ++i) {
        if (!system_menu_texts_[i].isEmpty()) {
            items[i]->setText(
                QCoreApplication::translate("QMdiSubWindow", system_menu_texts_[i].constData()));
        }
    }
}

void ChildWindow::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    // Restored, not merely activated: a child tiled or cascaded keeps the size it was given.
    if (event->type() != QEvent::WindowStateChange || arranged_ ||
        (windowState() & kIconOrWhole) != 0 ||
        (static_cast<QWindowStateChangeEvent*>(event)->oldState() & kIconOrWhole) == 0) {
        return;
    }
    // A child that was never shown in its normal state would come back as a bare title bar,
    // and one restored from maximised at a size the frame may no longer have: restored, it
    // takes at least its design size and at most the frame's room, within the frame.
    QTimer::singleShot(0, this, [this] {
        if ((windowState() & kIconOrWhole) != 0 || mdiArea() == nullptr) {
            return;
        }
        const QSize room = mdiArea()->viewport()->size();
        const QSize fitted = size().expandedTo(design_size_.boundedTo(room)).boundedTo(room);
        if (fitted != size()) {
            resize(fitted);
        }
        QPoint at = pos();
        at.setX(std::clamp(at.x(), 0, std::max(0, room.width() - width())));
        at.setY(std::clamp(at.y(), 0, std::max(0, room.height() - height())));
        move(at);
    });
}

}  // namespace glossek
