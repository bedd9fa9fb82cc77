// SPDX-License-Identifier: MIT
// The captions of the menus, windows and controls in both languages, by control name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glossek {

struct Caption {
    std::string_view control;  // object name; a window's own caption uses the window's name
    std::string english;       // CP1252 bytes
    std::string french;        // CP1252 bytes
};

// In the order they are applied: the frame's menu, General data, the table editor, the
// viewers, the folder dialog and its report, the help window's buttons. A grid's title
// cells are its name, a dot and the column ("grd_tcv.0", "grd_report.4").
const std::vector<Caption>& captions();

// The caption of one control in a language ("FR" or anything else for English).
std::string caption_of(std::string_view control, std::string_view code);

// A page as the window lists it: its number and its name in the language ("US" or "FR"),
// for example "850 Western European (DOS)"; UTF-8.
std::string code_page_title(int page, std::string_view language);

}  // namespace glossek
