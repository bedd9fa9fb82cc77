#include "app/side_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/link_config.h"
#include "conversion/code_pages.h"
#include "conversion/text_file.h"
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
    return state.SettingsDir.empty() ? state.ProgramDir : state.SettingsDir;
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

std::string link_config_file(const AppState& state) {
    const std::string own = settings_of(state) + std::string(kLinkFileName);
    return file_exists(own) ? own : state.ProgramDir + std::string(kLinkFileName);
}

std::string help_file(const AppState& state) {
    constexpr std::string_view kHelpFileName = "GLK32.HLP";
    const std::string beside = state.ProgramDir + std::string(kHelpFileName);
    const std::string installed =
        state.ProgramDir + "../../share/glossek/" + std::string(kHelpFileName);
    return !file_exists(beside) && file_exists(installed) ? installed : beside;
}

void make_settings_folder(const AppState& state) {
    std::error_code ignored;  // a folder that cannot be made shows up as the write's own error
    std::filesystem::create_directories(settings_of(state), ignored);
}

}  // namespace glossek
