// SPDX-License-Identifier: MIT
// The captions of the windows in the language in force, from the one table that holds them.
#pragma once

#include <QWidget>
#include <string_view>

namespace glossek {

// Sets the caption of every control, menu and child window below `frame` that the caption
// table names, in the language `code` ("FR", or English for anything else). Contents are
// left alone.
void apply_captions(QWidget& frame, std::string_view code);

}  // namespace glossek
