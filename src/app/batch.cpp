#include "app/batch.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/side_files.h"
#include "conversion/code_pages.h"
#include "conversion/replace.h"
#include "conversion/start_up.h"
#include "conversion/text_file.h"
#include "lang/messages.h"
#include "lang/texts.h"
#include "table/table.h"

namespace glossek {

namespace {

constexpr const char* kProgramName = "glossek";

// "glossek: NAME: TEXT", the name as the file system spells it and the text in UTF-8; the
// names a message lists follow, one a line.
void report(std::ostream& err, const ErrorMessage& message) {
    err << kProgramName << ": ";
    if (!message.file.empty()) {
        err << printable_name(message.file) << ": ";
    }
    err << terminal_text(message.text) << '\n';
    for (const std::string& name : message.listed) {
        err << kProgramName << ":     " << printable_name(name) << '\n';
    }
}

void report(std::ostream& err, const std::string& file, const std::string& text) {
    report(err, ErrorMessage{file, text, {}});
}

void report_error(std::ostream& err, std::exception_ptr error, const LanguageTexts& texts) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        report(err, error_message(failure, texts));
    } catch (...) {
        report(err, {}, "Unexpected error.");
    }
}

bool is_shown_as_code(unsigned char byte) {
    // C0 controls, DEL, and the bytes CP1252 leaves undefined (they would be C1 controls).
    return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
           byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string terminal_text(const std::string& message) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        if (byte == '\n' && i + 1 < message.size() && message[i + 1] == '\r') {
            text += ": ";
            ++i;
        } else if (is_shown_as_code(byte)) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        } else {
            text += cp1252_to_utf8(std::string_view(&message[i], 1));
        }
    }
    return text;
}

std::string usage_text() {
    return "Usage: glossek [INPUT [OUTPUT [WAY [R]]]]\n"
           "       glossek --help | --version\n"
           "\n"
           "Converts a text file between a DOS and a Windows code page, or rewrites it\n"
           "through a table of replacement pairs.\n"
           "\n"
           "  INPUT    the file to convert\n"
           "  OUTPUT   the file to write; an existing one is replaced only once the\n"
           "           conversion has succeeded\n"
           "  WAY      W       DOS to Windows (also when WAY is absent or unknown)\n"
           "           D       Windows to DOS\n"
           "           ATABLE  through the auxiliary table file TABLE (.glk)\n"
           "  R        convert at once and end, without a window\n"
           "\n"
           "Letters may be in either case and each parameter may begin with one '/'.\n"
           "Without R the window opens with the job filled in. Nothing is printed on\n"
           "success; every reason for not converting is printed on standard error. The\n"
           "exit code is 1 on every path (0 for --help and --version).\n"
           "\n"
           "Environment: GLOSSEK_OEMCP and GLOSSEK_ANSICP choose the DOS and the Windows\n"
           "code page (for example 850 and 1252, or 65001 for UTF-8). GLOSSEK_REPORT=1\n"
           "says on standard error how many characters had no exact counterpart in the\n"
           "target page. See glossek(1).\n";
}

std::string version_text() {
    return "glossek 3.12\n";
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
    state.LanguageCode = corrected_language_code(code.substr(0, 2));
    state.texts = language_texts(state.LanguageCode);
}

bool run_batch(AppState& state, const CommandLineJob& command, std::ostream& err) {
    try {
        load_language(state);
    } catch (const std::exception& error) {
        report(err, error_message(error, state.texts));
        return false;
    }
    const LanguageTexts& texts = state.texts;
    // A kept pair that cannot be used is said; the pair of the language settings converts.
    std::optional<PageNumbers> kept;
    try {
        kept = read_code_page_file(code_page_file(state));
    } catch (const std::exception& error) {
        report(err, code_page_file(state), texts.lng_code_page_file_bad);
        report(err, {}, error_text(error, texts));
    }
    try {
        state.pages = code_pages_from_environment(nullptr, kept);
    } catch (const CodePageError& error) {
        report(err, {}, error.what());
        return false;
    }
    StartUpResult result;
    try {
        result = apply_command_line(state, command);
    } catch (...) {
        report_error(err, std::current_exception(), texts);
        return false;
    }
    switch (result.step) {
        case StartUpResult::Step::Converted:
            // Scripts rely on silence after success: the count is said only when asked for.
            if (const char* wanted = std::getenv("GLOSSEK_REPORT");
                wanted != nullptr && std::string_view(wanted) == "1" &&
                result.lossy.characters > 0) {
                report(err, state.job.OutputName,
                       lossy_text(result.lossy.characters, result.lossy.first_line, texts));
            }
            return false;
        case StartUpResult::Step::InputMissing:
            report(err, state.job.InputName, texts.lng_input_missing);
            return false;
        case StartUpResult::Step::SameInputTable:
            report(err, state.job.InputName, texts.lng_same_input_table);
            return false;
        case StartUpResult::Step::SameOutputTable:
            report(err, state.job.OutputName, texts.lng_same_output_table);
            return false;
        case StartUpResult::Step::TableMissing:
            report(err, state.job.TableName, texts.lng_table_file_halted);
            return true;
        case StartUpResult::Step::TableRefused:
            report_error(err, result.table_error, texts);
            return true;
        case StartUpResult::Step::ShowGeneralData:
            return true;
    }
    return true;
}

}  // namespace glossek
