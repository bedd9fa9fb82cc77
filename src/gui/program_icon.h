// SPDX-License-Identifier: MIT
// The program's own icon, for the frame, its child windows and the desktop.
#pragma once

#include <QIcon>

namespace glossek {

// Two pages, a DOS one and a Windows one, with the arrow between them; drawn at every
// usual size so that no image file or plug-in is needed.
QIcon program_icon();

}  // namespace glossek
