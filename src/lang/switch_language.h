// Options, Language: every text in the chosen language at once, and at the next start.
#pragma once

#include <string_view>

namespace glossek {

class Tmdi_glk;

// Minimises every child window, applies the language `code` ("US" or "FR"), rewrites the
// language file beside the program and brings General data to the front. Throws
// TextIoError when the file cannot be written: the new language stays applied and every
// child window stays minimised.
void switch_language(Tmdi_glk& frame, std::string_view code);

}  // namespace glossek
