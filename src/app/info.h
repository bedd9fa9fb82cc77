// SPDX-License-Identifier: MIT
// glossek --info FILE...: what each file reads as, one line each, without converting.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "pages/identify.h"

namespace glossek {

// The fields of a file's line, tab-separated: the reading, its page or "-", crlf=, lf=, cr=,
// lines=, nul=, ctrlz=OFFSET or -, bom=yes or no, suggest=PAGE or -, the name as messages
// show it.
std::string info_line(const FileReading& reading, const std::string& name);

// Reads the language and the pair in force as batch mode does, then identifies each file
// (relative names mean the start folder): its line on `out`, or the reason it could not be
// read on `err`. Returns the exit code: 0 when every file was read, 1 otherwise.
int run_info(AppState& state, const std::vector<std::string>& names, std::ostream& out,
             std::ostream& err);

}  // namespace glossek
