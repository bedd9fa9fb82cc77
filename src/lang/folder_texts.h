// SPDX-License-Identifier: MIT
// What a folder run says: why its folders are refused, and what it did.
#pragma once

#include <string>

#include "conversion/folder_check.h"
#include "lang/texts.h"

namespace glossek {

// The refusal's text (none for FolderRefusal::None).
std::string folder_refusal_text(FolderRefusal refusal, const LanguageTexts& texts);

// "312 files: 300 converted, 8 already Windows text, 3 binary, 1 link skipped, 0 failed";
// the table way has no target.
std::string folder_summary(const FolderCounts& counts, ConversionWay way,
                           const LanguageTexts& texts);

}  // namespace glossek
