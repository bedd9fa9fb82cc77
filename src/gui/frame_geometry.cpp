// SPDX-License-Identifier: MIT
// Where the frame opens: where it was when the program last ended, else its design place.
#include <QGuiApplication>
#include <QScreen>
#include <exception>
#include <vector>

#include "app/frame_place.h"
#include "app/side_files.h"
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

}  // namespace glossek
