// SPDX-License-Identifier: MIT
// Where the side files live: beside the program, or, when the program's folder cannot be
// written (an installed program), the language file in the user's configuration folder.
#pragma once

#include <functional>
#include <string>

#include "app/app_state.h"

namespace glossek {

// program_dir when it is writable; otherwise $XDG_CONFIG_HOME/glossek/, else
// $HOME/.config/glossek/. Always ends with "/". `get` is getenv-like.
std::string settings_folder(const std::string& program_dir, bool program_dir_writable,
                            const std::function<const char*(const char*)>& get);

// The settings folder for this run, from the real environment.
std::string settings_folder_for(const std::string& program_dir);

// The language file, read at start and written at each switch.
std::string language_file(const AppState& state);

// The pair of code pages chosen in the window, beside the language file.
std::string code_page_file(const AppState& state);

// Where the frame window was when the program last ended, beside the language file.
std::string frame_place_file(const AppState& state);

// The link configuration to read: in the settings folder if there is one there, else
// beside the program.
std::string link_config_file(const AppState& state);

// The help file: beside the program (a build folder, a private copy), else where an
// installed program keeps its data, PREFIX/share/glossek beside PREFIX/lib/glossek.
std::string help_file(const AppState& state);

// Makes the settings folder (and its parents) before a side file is written there.
void make_settings_folder(const AppState& state);

// The language file of the settings folder read, and the texts it selects in force.
// Throws TextIoError when the file exists but cannot be read.
void load_language(AppState& state);

// The folder of the running program, ending with "/".
std::string program_folder();

// The process's current folder, or nothing when the system cannot say (deleted, too long).
std::string current_folder();

}  // namespace glossek
