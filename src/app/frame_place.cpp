// SPDX-License-Identifier: MIT
#include "app/frame_place.h"

#include <algorithm>
#include <exception>
#include <sstream>

#include "files/file_names.h"
#include "files/text_file.h"

namespace glossek {

namespace {

// Enough of a window on a screen for its title bar to be taken with the mouse.
constexpr int kHoldWidth = 100;
constexpr int kHoldHeight = 50;

ScreenRect intersection(const ScreenRect& a, const ScreenRect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace

std::optional<FramePlace> read_frame_place(const std::string& file_name) {
    std::string line;
    try {
        if (!file_exists(file_name)) {
            return std::nullopt;
        }
        TextLineFile file;
        CloseOnExit closer(file);
        file.open_read(file_name);
        if (!file.at_end() && !file.read_line(line, 100)) {
            return std::nullopt;
        }
        file.close();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::istringstream fields(line);
    FramePlace place;
    int maximised = -1;
    fields >> place.normal.x >> place.normal.y >> place.normal.width >> place.normal.height >>
        maximised;
    std::string rest;
    if (fields.fail() || (fields >> rest) || place.normal.width <= 0 || place.normal.height <= 0 ||
        (maximised != 0 && maximised != 1)) {
        return std::nullopt;
    }
    place.maximised = maximised == 1;
    return place;
}

void write_frame_place(const std::string& file_name, const FramePlace& place) {
    const ScreenRect& r = place.normal;
    TextLineFile file;
    file.open_write(file_name);
    CloseOnExit closer(file);
    file.write_text(std::to_string(r.x) + ' ' + std::to_string(r.y) + ' ' +
                    std::to_string(r.width) + ' ' + std::to_string(r.height) + ' ' +
                    (place.maximised ? '1' : '0'));
    file.end_line();
    file.close();
}

std::optional<FramePlace> usable_place(const FramePlace& kept,
                                       const std::vector<ScreenRect>& screens) {
    const ScreenRect& window = kept.normal;
    const ScreenRect* best = nullptr;
    long long best_area = 0;
    for (const ScreenRect& screen : screens) {
        const ScreenRect on = intersection(window, screen);
        const long long area = static_cast<long long>(on.width) * on.height;
        // Its top edge on the screen, or the title bar above it could not be reached.
        const bool top_on_screen = window.y >= screen.y && window.y < screen.y + screen.height;
        if (top_on_screen && on.width >= kHoldWidth && on.height >= kHoldHeight &&
            area > best_area) {
            best = &screen;
            best_area = area;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    FramePlace place = kept;
    place.normal.width = std::min(window.width, best->width);
    place.normal.height = std::min(window.height, best->height);
    return place;
}

}  // namespace glossek
