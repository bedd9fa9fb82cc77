// SPDX-License-Identifier: MIT
#include "app/side_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/temp_dir.h"

namespace glossek {
namespace {

TEST(SettingsFolder, BesideTheProgramUnlessItCannotBeWritten) {
    std::map<std::string, std::string> env = {{"XDG_CONFIG_HOME", "/home/u/.cfg"},
                                              {"HOME", "/home/u"}};
    auto get = [&](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(settings_folder("/opt/glossek/", true, get), "/opt/glossek/");
    EXPECT_EQ(settings_folder("/opt/glossek/", false, get), "/home/u/.cfg/glossek/");
    env["XDG_CONFIG_HOME"] = "relative/is/ignored";
    EXPECT_EQ(settings_folder("/opt/glossek/", false, get), "/home/u/.config/glossek/");
    env.clear();
    EXPECT_EQ(settings_folder("/opt/glossek/", false, get), "/opt/glossek/");
}

TEST(SideFiles, LinksAreLookedForInTheSettingsFolderFirst) {
    test::TempDir program;
    test::TempDir settings;
    AppState state;
    state.program_dir = program.path() + "/";
    EXPECT_EQ(language_file(state), state.program_dir + "GLK32.LNG");
    EXPECT_EQ(link_config_file(state), state.program_dir + "GLK32.CFG");

    state.settings_dir = settings.path() + "/deeper/glossek/";
    EXPECT_EQ(language_file(state), state.settings_dir + "GLK32.LNG");
    EXPECT_EQ(link_config_file(state), state.program_dir + "GLK32.CFG");
    make_settings_folder(state);
    settings.write("deeper/glossek/GLK32.CFG", "AUTHx\r\n");
    EXPECT_EQ(link_config_file(state), state.settings_dir + "GLK32.CFG");
}

TEST(SideFiles, CodePagesAreKeptBesideTheLanguage) {
    AppState state;
    state.program_dir = "/opt/glossek/";
    EXPECT_EQ(code_page_file(state), "/opt/glossek/GLK32.CP");
    state.settings_dir = "/home/u/.config/glossek/";
    EXPECT_EQ(code_page_file(state), "/home/u/.config/glossek/GLK32.CP");
}

TEST(SideFiles, HelpBesideTheProgramElseWhereAnInstalledProgramKeepsItsData) {
    test::TempDir prefix;
    AppState state;
    state.program_dir = prefix.path() + "/lib/glossek/";
    // Neither there: the name beside the program, which shows nothing.
    EXPECT_EQ(help_file(state), state.program_dir + "GLK32.HLP");
    std::filesystem::create_directories(prefix.file("lib/glossek"));
    std::filesystem::create_directories(prefix.file("share/glossek"));
    prefix.write("share/glossek/GLK32.HLP", "<html></html>");
    EXPECT_EQ(help_file(state), state.program_dir + "../../share/glossek/GLK32.HLP");
    // A copy beside the program (a build folder) comes first.
    prefix.write("lib/glossek/GLK32.HLP", "<html></html>");
    EXPECT_EQ(help_file(state), state.program_dir + "GLK32.HLP");
}

}  // namespace
}  // namespace glossek
