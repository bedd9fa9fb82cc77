// SPDX-License-Identifier: MIT
#include "lang/folder_texts.h"

#include "lang/messages.h"

namespace glossek {

namespace {

std::string counted(std::uint64_t count, const std::string& one, const std::string& many,
                    const LanguageTexts& texts) {
    // The singular texts all begin with their "1".
    if (count == 0 && !texts.lng_zero_singular.empty()) {
        return fill_in(one, "1", "0");
    }
    return count == 1 ? one : fill_in(many, "%n", grouped_number(count, texts));
}

}  // namespace

std::string folder_refusal_text(FolderRefusal refusal, const LanguageTexts& texts) {
    switch (refusal) {
        case FolderRefusal::OutputUnnamed:
            return texts.lng_folder_unnamed;
        case FolderRefusal::OutputIsFile:
            return texts.lng_folder_is_file;
        case FolderRefusal::OutputInsideInput:
            return texts.lng_folder_inside_input;
        case FolderRefusal::InputInsideOutput:
            return texts.lng_folder_holds_input;
        case FolderRefusal::None:
            break;
    }
    return {};
}

std::string folder_summary(const FolderCounts& counts, ConversionWay way,
                           const LanguageTexts& texts) {
    const bool table = way == ConversionWay::AuxiliaryTable;
    std::string text = table ? texts.lng_folder_summary_table : texts.lng_folder_summary;
    text = fill_in(text, "%s", counted(counts.files, texts.lng_files_one, texts.lng_files, texts));
    text = fill_in(text, "%c",
                   counted(counts.converted, texts.lng_converted_one, texts.lng_converted, texts));
    if (!table) {
        text = fill_in(text, "%t", grouped_number(counts.copied_target, texts));
        text = fill_in(
            text, "%k",
            way == ConversionWay::DosToWindows ? texts.lng_target_windows : texts.lng_target_dos);
    }
    text = fill_in(text, "%b",
                   counted(counts.copied_binary, texts.lng_binary_one, texts.lng_binary, texts));
    text = fill_in(text, "%l",
                   counted(counts.skipped_links, texts.lng_links_one, texts.lng_links, texts));
    return fill_in(text, "%f", grouped_number(counts.failed, texts));
}

}  // namespace glossek
