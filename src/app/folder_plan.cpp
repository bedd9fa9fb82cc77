// SPDX-License-Identifier: MIT
#include "app/folder_plan.h"

#include "files/file_names.h"
#include "files/folder_walk.h"

namespace glossek {

std::string proposed_output_folder(const std::string& input) {
    std::string folder = input;
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    return folder.empty() ? std::string() : folder + ".cvt";
}

FolderSurvey survey_folder(const std::string& input, const std::string& output,
                           const std::atomic<bool>* stop) {
    FolderSurvey survey;
    FolderWalk walk(input);
    FolderEntry entry;
    while (walk.next(entry)) {
        if (stop != nullptr && stop->load()) {
            survey.stopped = true;
            break;
        }
        // Links are skipped and other entries fail: neither writes anything.
        if (entry.kind != FolderEntry::Kind::File) {
            continue;
        }
        ++survey.files;
        survey.bytes += entry.size;
        if (file_exists(output + "/" + entry.relative)) {
            ++survey.existing;
        }
    }
    return survey;
}

}  // namespace glossek
