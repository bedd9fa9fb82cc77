// SPDX-License-Identifier: MIT
// Where the frame opens (where it was when the program last ended, else its design place),
// and its children side by side.
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <exception>
#include <vector>

#include "app/frame_place.h"
#include "app/side_files.h"
#include "gui/child_window.h"
#include "gui/frame_window.h"

namespace glossek {

namespace {

constexpr QRect kFrameDesignPlace(128, 147, 695, 480);

ScreenRect screen_rect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// The design place, unless that would put part of the frame off the screen (a small or
// scaled screen): then centred, and never larger than the screen.
QRect design_place(const QScreen* screen) {
    QRect place = kFrameDesignPlace;
    if (screen != nullptr) {
        const QRect room = screen->availableGeometry();
        // The window manager's title bar and borders come on top of the frame's own size.
        const QRect with_borders = place.adjusted(-8, -32, 8, 8);
        if (!room.contains(with_borders)) {
            place.setSize(place.size().boundedTo(room.size() - QSize(16, 40)));
            place.moveCenter(room.center());
        }
    }
    return place;
}

}  // namespace

void FrameWindow::place_on_screen() {
    std::vector<ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen_rect(screen->availableGeometry()));
    }
    const std::optional<FramePlace> kept = read_frame_place(frame_place_file(state_));
    const std::optional<FramePlace> usable =
        kept ? usable_place(*kept, screens) : std::optional<FramePlace>();
    if (!usable) {
        setGeometry(design_place(screen()));
        return;
    }
    const ScreenRect& r = usable->normal;
    setGeometry(r.x, r.y, r.width, r.height);
    if (usable->maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void FrameWindow::keep_place() const {
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    try {
        make_settings_folder(state_);
        write_frame_place(frame_place_file(state_), {screen_rect(normal), isMaximized()});
    } catch (const std::exception&) {
        // Only a convenience: a settings folder that cannot be written must not keep the
        // program from ending, and the next start takes the design place.
    }
}

void FrameWindow::arrange_children(
    const std::function<void(const QList<QMdiSubWindow*>&)>& arrange) {
    // The user leaves the one-at-a-time rule: every child that can be shown, side by side.
    // The one in front first, or activating another would maximise that one in its place.
    QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* window : std::as_const(windows)) {
        static_cast<ChildWindow*>(window)->set_arranged(true);
        if (!window->isHidden()) {
            window->showNormal();
            shown.append(window);
        }
    }
    arrange(shown);
    for (QMdiSubWindow* window : std::as_const(windows)) {
        static_cast<ChildWindow*>(window)->set_arranged(false);
    }
}

void FrameWindow::tile_children() {
    arrange_children([this](const QList<QMdiSubWindow*>&) { mdi_->tileSubWindows(); });
}

void FrameWindow::cascade_children() {
    // Each a title bar lower and to the right of the one before, all as large as the room
    // left, the one in front last.
    arrange_children([this](const QList<QMdiSubWindow*>& shown) {
        const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
        const QSize room = mdi_->viewport()->size() - QSize(step, step) * (shown.size() - 1);
        for (qsizetype k = shown.size() - 1; k >= 0; --k) {
            const auto at = static_cast<int>(shown.size() - 1 - k) * step;
            shown[k]->setGeometry(QRect(QPoint(at, at), room));
            shown[k]->raise();
        }
        if (!shown.isEmpty()) {
            mdi_->setActiveSubWindow(shown.front());
        }
    });
}

}  // namespace glossek
