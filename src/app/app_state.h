// SPDX-License-Identifier: MIT
// The records the program shares, in one object that start-up creates and hands around.
#pragma once

#include <string>

#include "app/link_config.h"
#include "conversion/job.h"
#include "lang/texts.h"
#include "pages/code_pages.h"
#include "table/table.h"

namespace glossek {

struct AppState {
    std::string program_dir;  // the program's own folder, ending with "/"
    // Where the language file lives when not beside the program (an installed program
    // whose folder the user cannot write); empty means program_dir.
    std::string settings_dir;
    // The folder the program was started from: relative names, typed or given on the
    // command line, mean this folder. Empty when the system cannot say (a deleted folder).
    std::string start_dir;
    ConversionJob job;
    ConversionTable table;
    ConversionWay way = ConversionWay::DosToWindows;
    std::string language_code;
    LanguageTexts texts = language_texts(kLanguageEnglish);  // until a language is read
    CodePagePair pages = code_page_pair(437, 1252);
    Links links = default_links();
};

}  // namespace glossek
