// The records the program shares, in one object that start-up creates and hands around.
#pragma once

#include <string>

#include "app/link_config.h"
#include "conversion/code_pages.h"
#include "conversion/job.h"
#include "lang/texts.h"
#include "table/table.h"

namespace glossek {

struct AppState {
    std::string ProgramDir;  // the program's own folder, ending with "/"
    // Where the language file lives when not beside the program (an installed program
    // whose folder the user cannot write); empty means ProgramDir.
    std::string SettingsDir;
    // The folder the program was started from: relative names, typed or given on the
    // command line, mean this folder. Empty when the system cannot say (a deleted folder).
    std::string StartDir;
    ConversionJob job;
    ConversionTable table;
    ConversionWay way = ConversionWay::DosToWindows;
    std::string LanguageCode;
    LanguageTexts texts;
    CodePagePair pages = code_page_pair(437, 1252);
    Links links = default_links();
};

}  // namespace glossek
