// SPDX-License-Identifier: MIT
#include "conversion/folder_check.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "conversion/go_check.h"
#include "files/file_names.h"

namespace glossek {

namespace {

// A file's name made absolute with its links followed, or empty when it does not exist.
std::string real_name(const std::string& name) {
    char resolved[PATH_MAX];
    return ::realpath(name.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

bool inside(const std::string& folder, const std::string& outer) {
    return folder == outer ||
           (folder.size() > outer.size() && folder.compare(0, outer.size(), outer) == 0 &&
            (outer == "/" || folder[outer.size()] == '/'));
}

}  // namespace

FolderResult folder_action(const FileReading& reading, ConversionWay way) {
    if (reading.reading == Reading::Binary) {
        return FolderResult::CopiedBinary;
    }
    return reads_as_target(reading, way) ? FolderResult::CopiedTarget : FolderResult::Converted;
}

FolderRefusal check_folders(const std::string& input, const std::string& output) {
    if (output.empty()) {
        return FolderRefusal::OutputUnnamed;
    }
    struct stat st {};
    if (::stat(output.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        return FolderRefusal::OutputIsFile;
    }
    // A folder still to be made is judged by the nearest folder above it that exists.
    std::string existing = output;
    std::string rest;
    while (real_name(existing).empty() && existing != "/" && existing != ".") {
        rest = "/" + last_component(existing) + rest;
        existing = parent_folder(existing);
    }
    const std::string real_output = real_name(existing) + rest;
    const std::string real_input = real_name(input);
    if (real_input.empty()) {
        return FolderRefusal::None;  // a missing input holds nothing and lies nowhere
    }
    if (inside(real_output, real_input)) {
        return FolderRefusal::OutputInsideInput;
    }
    return inside(real_input, real_output) ? FolderRefusal::InputInsideOutput : FolderRefusal::None;
}

void FolderCounts::add(FolderResult result) {
    ++files;
    switch (result) {
        case FolderResult::Converted:
            ++converted;
            break;
        case FolderResult::CopiedTarget:
            ++copied_target;
            break;
        case FolderResult::CopiedBinary:
            ++copied_binary;
            break;
        case FolderResult::SkippedLink:
            ++skipped_links;
            break;
        case FolderResult::Failed:
            ++failed;
            break;
    }
}

}  // namespace glossek
