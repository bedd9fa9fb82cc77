// SPDX-License-Identifier: MIT
// The first lines of the input, as the input viewer shows them.
#pragma once

#include <functional>
#include <string_view>

#include "conversion/job.h"

namespace glossek {

// The two pages of the pair in force.
enum class PageSide { Dos, Windows };

// The page a way reads its input in (DOS to Windows reads DOS; Windows to DOS and the table
// way read Windows), and the page it writes (Windows, DOS, Windows): the viewers show each
// file's text through its own page.
PageSide input_page(ConversionWay way);
PageSide output_page(ConversionWay way);

// Reads the job's input, hands each of its first kViewerLineLimit lines to `show` (cut to
// kViewerLineBytes), and sets the job's line count to the number of lines (10000 for an
// empty file). Throws TextIoError.
void read_input_view(ConversionJob& job, const std::function<void(std::string_view)>& show);

}  // namespace glossek
