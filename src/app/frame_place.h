// SPDX-License-Identifier: MIT
// Where the frame window was when the program last ended, kept with the other settings so
// that it opens there again; the first time, and wherever that place is no longer on a
// screen, it opens at its design place.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glossek {

inline constexpr std::string_view kFramePlaceFileName = "GLK32.WIN";

// A rectangle on the desktop, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The frame's rectangle in its normal state, and whether it was maximised.
struct FramePlace {
    ScreenRect normal;
    bool maximised = false;
};

// The place kept in the file: one line "X Y WIDTH HEIGHT M", M 1 when maximised, else 0.
// Nothing when the file is missing, cannot be read or is not of that form: a lost place
// only means the design place.
std::optional<FramePlace> read_frame_place(const std::string& file_name);

// Writes the place as that line, ended by CR LF. Throws TextIoError.
void write_frame_place(const std::string& file_name, const FramePlace& place);

// The kept place as it can be used on the screens there are now (their available areas):
// on the screen that holds most of it, no larger than that screen. Nothing when no screen
// holds its top edge and enough of it to take hold of.
std::optional<FramePlace> usable_place(const FramePlace& kept,
                                       const std::vector<ScreenRect>& screens);

}  // namespace glossek
