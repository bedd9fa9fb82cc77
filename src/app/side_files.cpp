// SPDX-License-Identifier: MIT
#include "app/side_files.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/code_page_setting.h"
#include "app/frame_place.h"
#include "app/link_config.h"
#include "files/file_names.h"
#include "lang/texts.h"

namespace glossek {

namespace {

std::string with_slash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

const std::string& settings_of(const AppState& state) {
    return state.settings_dir.empty() ? state.program_dir : state.settings_dir;
}

}  // namespace

std::string settings_folder(const std::string& program_dir, bool program_dir_writable,
                            const std::function<const char*(const char*)>& get) {
    if (program_dir_writable) {
        return program_dir;
    }
    const char* config = get("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return with_slash(config) + "glossek/";
    }
    const char* home = get("HOME");
    if (home != nullptr && home[0] != '\0') {
        return with_slash(home) + ".config/glossek/";
    }
    return program_dir;
}

std::string settings_folder_for(const std::string& program_dir) {
    return settings_folder(program_dir, ::access(program_dir.c_str(), W_OK) == 0,
                           [](const char* name) { return std::getenv(name); });
}

std::string language_file(const AppState& state) {
    return settings_of(state) + std::string(kLanguageFileName);
}

std::string code_page_file(const AppState& state) {
    return settings_of(state) + std::string(kCodePageFileName);
}

std::string frame_place_file(const AppState& state) {
    return settings_of(state) + std::string(kFramePlaceFileName);
}

std::string link_config_file(const AppState& state) {
    const std::string own = settings_of(state) + std::string(kLinkFileName);
    return file_exists(own) ? own : state.program_dir + std::string(kLinkFileName);
}

std::string help_file(const AppState& state) {
    constexpr std::string_view kHelpFileName = "GLK32.HLP";
    const std::string beside = state.program_dir + std::string(kHelpFileName);
    const std::string installed =
        state.program_dir + "../../share/glossek/" + std::string(kHelpFileName);
    return !file_exists(beside) && file_exists(installed) ? installed : beside;
}

void make_settings_folder(const AppState& state) {
    std::error_code ignored;  // a folder that cannot be made shows up as the write's own error
    std::filesystem::create_directories(settings_of(state), ignored);
}

std::string program_folder() {
    std::vector<char> path(PATH_MAX + 1, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), PATH_MAX);
    std::string exe = n > 0 ? std::string(path.data(), static_cast<std::size_t>(n)) : "";
    auto slash = exe.find_last_of('/');
    return slash == std::string::npos ? current_folder() + "/" : exe.substr(0, slash + 1);
}

std::string current_folder() {
    std::vector<char> path(PATH_MAX + 1, '\0');
    return ::getcwd(path.data(), path.size()) != nullptr ? std::string(path.data()) : "";
}

void load_language(AppState& state) {
    std::string code = read_language_code(language_file(state));
    state.language_code = corrected_language_code(code.substr(0, 2));
    state.texts = language_texts(state.language_code);
}

}  // namespace glossek
