// SPDX-License-Identifier: MIT
// The decisions of a folder run that need no file work: what is done with each file, which
// folders are refused, and the count of what was done.
#pragma once

#include <cstdint>
#include <string>

#include "conversion/job.h"
#include "pages/identify.h"

namespace glossek {

enum class FolderResult { Converted, CopiedTarget, CopiedBinary, SkippedLink, Failed };

// What a folder run does with a file of this reading: convert it (the way's source, ASCII,
// empty or unsure; in the table way anything but binary data), or copy it as it is.
FolderResult folder_action(const FileReading& reading, ConversionWay way);

// The first check on the two folders that fails, made before anything is written. Names are
// compared once made absolute and with their links followed.
enum class FolderRefusal {
    None,
    OutputUnnamed,
    OutputIsFile,       // the output names an existing entry that is no folder
    OutputInsideInput,  // the output folder is the input folder or lies inside it
    InputInsideOutput,  // the input folder lies inside the output folder
};
FolderRefusal check_folders(const std::string& input, const std::string& output);

struct FolderCounts {
    std::uint64_t files = 0;
    std::uint64_t converted = 0;
    std::uint64_t copied_target = 0;
    std::uint64_t copied_binary = 0;
    std::uint64_t skipped_links = 0;
    std::uint64_t failed = 0;
    void add(FolderResult result);
};

}  // namespace glossek
