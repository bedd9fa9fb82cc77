// SPDX-License-Identifier: MIT
// The first lines of the input, as the input viewer shows them.
#pragma once

#include <functional>
#include <string_view>

#include "conversion/job.h"

namespace glossek {

// Reads the job's input, hands each of its first kViewerLineLimit lines to `show` (cut to
// kViewerLineBytes), and sets the job's line count to the number of lines (10000 for an
// empty file). Throws TextIoError.
void read_input_view(ConversionJob& job, const std::function<void(std::string_view)>& show);

}  // namespace glossek
