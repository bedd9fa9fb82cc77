// SPDX-License-Identifier: MIT
// The texts of each language, as the language tables write them.
#pragma once

#include "lang/texts.h"

namespace glossek {

LanguageTexts english_texts();
LanguageTexts french_texts();

}  // namespace glossek
