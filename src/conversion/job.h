// SPDX-License-Identifier: MIT
// The program's one conversion job: its files and the way it converts.
#pragma once

#include <cstdint>
#include <string>

#include "files/text_file.h"

namespace glossek {

enum class ConversionWay { DosToWindows, WindowsToDos, AuxiliaryTable };

inline constexpr std::int32_t kDefaultLineCount = 10000;

struct ConversionJob {
    std::string input_name;
    TextLineFile input_file;
    // The lines of the input as last shown in its viewer (10000 for an empty file).
    std::int32_t line_count = kDefaultLineCount;
    std::string output_name;
    TextLineFile output_file;
    std::string table_name;
    TextLineFile table_file;
};

}  // namespace glossek
