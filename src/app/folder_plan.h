// SPDX-License-Identifier: MIT
// What the window works out before a folder run: the output folder it proposes, and what
// the run would take on.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace glossek {

// The input folder's name with ".cvt" beside it ("/a/b/docs" and "/a/b/docs/" give
// "/a/b/docs.cvt"); empty for an empty name or the root, which have no such neighbour.
std::string proposed_output_folder(const std::string& input);

// The regular files of the tree below `input`, their bytes, and how many of them the run
// would replace in `output` (an entry of the same path there that is no folder).
struct FolderSurvey {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t existing = 0;
    bool stopped = false;  // `stop` was set before the whole tree was seen
};
FolderSurvey survey_folder(const std::string& input, const std::string& output,
                           const std::atomic<bool>* stop = nullptr);

}  // namespace glossek
