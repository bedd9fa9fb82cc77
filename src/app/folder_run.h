// SPDX-License-Identifier: MIT
// A whole folder tree converted into another, file by file, on every core: each file is
// identified first, converted when it reads as the way's source, copied as it is when it
// already reads as the target or as binary data.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "conversion/engine.h"
#include "conversion/folder_check.h"
#include "conversion/job.h"
#include "table/table.h"

namespace glossek {

// One entry of the tree and what became of it.
struct FolderFile {
    std::string relative;  // below the input folder
    FolderResult result = FolderResult::Failed;
    LossyCount lossy;          // of a conversion through the code pages
    std::exception_ptr error;  // why it failed
    std::uint64_t bytes = 0;   // of the input
};

struct FolderSettings {
    std::string input;   // an existing folder
    std::string output;  // made when missing, its parents too
    ConversionWay way = ConversionWay::DosToWindows;
    const ConversionTable* table = nullptr;
    CodePagePair pages;
    unsigned workers = 0;  // 0: eight per core
};

// Runs the tree: `report` gets every entry in the order of the walk (whatever finished
// first), on the calling thread. A full disk stops the run after the files under way; so
// does `stop` once set. Each output goes through its temporary file, and keeps its input's
// modification time and permission bits. Throws TextIoError when the output folder cannot be
// made; returns false when the run stopped before its end.
bool run_folder(const FolderSettings& settings,
                const std::function<void(const FolderFile&)>& report,
                const std::atomic<bool>* stop = nullptr);

}  // namespace glossek
