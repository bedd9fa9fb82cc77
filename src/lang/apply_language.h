// Puts the texts of the current language in place: message slots, captions, frame title.
#pragma once

namespace glossek {

class Tmdi_glk;

// Corrects the frame's state LanguageCode to "US" or "FR", fills every text slot and sets
// every caption of the frame's menus and child windows. Contents are left alone.
void apply_language(Tmdi_glk& frame);

}  // namespace glossek
