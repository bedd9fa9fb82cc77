// The interactive program: the frame and its child windows, created in their fixed order.
#pragma once

#include "app/app_state.h"
#include "conversion/job.h"

namespace glossek {

// True when a window can be shown: a display, or a Qt platform chosen explicitly.
bool display_available();

// Creates the application and its windows, runs until Exit or the frame is closed.
void run_window(AppState& state, const CommandLineJob& command, int& argc, char** argv);

}  // namespace glossek
