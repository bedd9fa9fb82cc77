// SPDX-License-Identifier: MIT
#include "conversion/input_view.h"

#include <limits>
#include <string>

#include "conversion/engine.h"

namespace glossek {

PageSide input_page(ConversionWay way) {
    return way == ConversionWay::DosToWindows ? PageSide::Dos : PageSide::Windows;
}

PageSide output_page(ConversionWay way) {
    return way == ConversionWay::WindowsToDos ? PageSide::Dos : PageSide::Windows;
}

void read_input_view(ConversionJob& job, const std::function<void(std::string_view)>& show) {
    TextLineFile& file = job.input_file;
    file.open_read(job.input_name);
    CloseOnExit guard(file);
    long long count = 0;
    std::string line;
    while (!file.at_end()) {
        if (count < kViewerLineLimit) {
            // Cut for the viewer: a line of any length costs no more memory than that.
            if (!file.read_line(line, kViewerLineBytes)) {
                file.skip_line();
            }
            show(line);
        } else {
            file.skip_line();
        }
        ++count;
    }
    file.close();
    constexpr long long kMax = std::numeric_limits<std::int32_t>::max();
    job.line_count =
        count == 0 ? kDefaultLineCount : static_cast<std::int32_t>(count > kMax ? kMax : count);
}

}  // namespace glossek
