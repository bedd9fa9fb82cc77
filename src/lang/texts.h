// SPDX-License-Identifier: MIT
// The message texts of the two languages, as CP1252 bytes.
#pragma once

#include <string>
#include <string_view>

namespace glossek {

inline constexpr std::string_view kLanguageEnglish = "US";
inline constexpr std::string_view kLanguageFrench = "FR";
inline constexpr std::string_view kLanguageFileName = "GLK32.LNG";

struct LanguageTexts {
    std::string lng_product;
    std::string lng_version_suffix;
    std::string lng_about_version;
    std::string lng_input_missing;
    std::string lng_same_input_output;
    std::string lng_output_exists;
    std::string lng_generation_done;
    std::string lng_table_file_halted;
    std::string lng_same_input_table;
    std::string lng_same_output_table;
    std::string lng_output_unnamed;
    std::string lng_link_hint;
    std::string lng_row;
    std::string lng_column;
    // Messages of the refusals that keep the user's files safe.
    std::string lng_table_not_keyword;
    std::string lng_table_char_unsafe;
    // A replacement pair past its budget: %p the pair, %l the line, %n the budget's figure.
    std::string lng_pair_too_long;
    std::string lng_pair_too_many;
    // The window's own additions.
    std::string lng_generation_stopped;
    std::string lng_all_files;
    std::string lng_code_pages;  // the dialog's title
    std::string lng_dos_page;
    std::string lng_windows_page;
    // The side file holds no pair of supported pages: the window uses the pair of the
    // language settings (%o, %w), batch mode stops.
    std::string lng_code_page_file_bad;
    std::string lng_code_page_file_stopped;
    // What is wrong with a page given: %g as given (a variable with its name), %k DOS or
    // Windows, %l the supported pages; a line that is no pair (%d and %w the supported
    // pages); a file far too large for one (%g its start).
    std::string lng_page_unsupported;
    std::string lng_page_pair_bad;
    std::string lng_page_file_too_large;
    std::string lng_table_code_unreadable;  // %r: the row, %c: the column
    std::string lng_table_too_large;
    std::string lng_table_ambiguous;  // followed by the names that match
    // A side of a table file that is no list of codes: %r the row, %s the side (the grid's
    // title of its column), %c the code.
    std::string lng_table_bad_code;
    std::string lng_side_from;
    std::string lng_side_to;
    // A line past the whole table's budget (%p, %l, %n as for one pair); where the pair
    // comes from, followed by the table file's name.
    std::string lng_table_line_too_long;
    std::string lng_pair_from_table;
    // The file layer's own words; %d the code. A file that became shorter while it was read.
    std::string lng_file_not_found;
    std::string lng_invalid_filename;
    std::string lng_too_many_files;
    std::string lng_access_denied;
    std::string lng_io_error;
    std::string lng_input_changed;
    std::string lng_input_changed_after;  // ... once its output was written
    // Failures of the system that the file layer's own texts do not name.
    std::string lng_disk_read_error;   // %s: what the system said
    std::string lng_disk_write_error;  // %s: what the system said
    std::string lng_disk_full;
    std::string lng_file_too_large;
    std::string lng_quota_exceeded;
    std::string lng_device_error;
    std::string lng_out_of_memory_line;  // %l: the line, %s: its size in bytes
    std::string lng_digit_group;         // between groups of three digits
    std::string lng_out_of_memory;
    std::string lng_folder_unknown;
    std::string lng_no_window;
    // After a conversion through the code pages: %n characters took a best fit or '?', the
    // first on line %l. One text for a single character, one for more.
    std::string lng_lossy_one;
    std::string lng_lossy_many;
    // The title of the box that edits a whole cell; the status bar's pair in force (%o the
    // DOS page, %w the Windows page); an error that says nothing of itself.
    std::string lng_cell_box;
    std::string lng_pages_in_force;
    std::string lng_unexpected_error;
    // What a file reads as (%k: one of the kinds, %p: its page), its line ends and lines,
    // a page that reads better (%s: "DOS 866") and what is asked or said before converting
    // a file that already reads as the target or as binary data.
    std::string lng_kind_dos;
    std::string lng_kind_windows;
    std::string lng_kind_utf8;
    std::string lng_kind_ascii;
    std::string lng_kind_binary;
    std::string lng_reads_as;
    std::string lng_reads_empty;
    std::string lng_reads_unsure;
    std::string lng_reads_neither;  // %o, %w: the pair in force
    std::string lng_reads_better;
    std::string lng_ends_crlf;
    std::string lng_ends_lf;
    std::string lng_ends_cr;
    std::string lng_ends_mixed;
    std::string lng_ends_none;
    std::string lng_line_one;
    std::string lng_lines;  // %n
    std::string lng_convert_anyway;
    std::string lng_convert_binary;
    std::string lng_input_reads_as;
    std::string lng_use_pages;  // %o, %w
    std::string lng_not_regular;
    // Folder runs: the refusals of the two folders and the summary (%s: the files, %c, %t,
    // %b, %f: how many were converted, copied as already the target %k, copied as binary,
    // failed; %l: the links skipped).
    std::string lng_folder_unnamed;
    std::string lng_folder_is_file;
    std::string lng_folder_inside_input;
    std::string lng_folder_holds_input;
    std::string lng_files_one;
    std::string lng_files;
    std::string lng_links_one;
    std::string lng_converted_one;
    // Not empty where a count of nothing takes the singular, as French does ("0 fichier").
    std::string lng_zero_singular;
    std::string lng_converted;
    std::string lng_binary_one;
    std::string lng_binary;
    std::string lng_links;
    std::string lng_folder_summary;
    std::string lng_folder_summary_table;
    std::string lng_target_windows;
    std::string lng_target_dos;
    // The window's folder run: an input that is no folder, the question before it replaces
    // files (%n of them), a run stopped part-way, the way and the table it uses (%w, %t),
    // each file's result in words (%k: the target's text) and the reports' filter.
    std::string lng_folder_input_missing;
    std::string lng_folder_replace_one;
    std::string lng_folder_replace;
    std::string lng_folder_stopped;
    std::string lng_folder_way;
    std::string lng_folder_table;
    std::string lng_folder_table_unsaved;
    std::string lng_result_converted;
    std::string lng_result_target;
    std::string lng_result_binary;
    std::string lng_result_link;
    std::string lng_result_failed;
    std::string lng_report_filter;
    // A cell of the table editor that holds no list of codes (%s: the group at fault), a
    // code past 255, and a switch between the two code notations.
    std::string lng_cell_not_hexa;
    std::string lng_cell_not_deci;
    std::string lng_code_out_of_range;
    std::string lng_notation_refused;
    // The page a viewer shows its text in (%p: its number), and the table files' filter.
    std::string lng_page_dos;
    std::string lng_page_windows;
    std::string lng_page_utf8;
    std::string lng_table_filter;
};

// "FR" gives French; anything else English.
LanguageTexts language_texts(std::string_view code);

// The code in memory after it is applied: "FR" or "US", exactly.
std::string corrected_language_code(std::string_view code);

// The first two characters of the language file's first line, or "US" without a file.
// Throws TextIoError when the file exists but cannot be read.
std::string read_language_code(const std::string& file_name);

// Rewrites the language file: the code, then CR LF. Throws TextIoError.
void write_language_file(const std::string& file_name, std::string_view code);

// CP1252 bytes to UTF-8 for a terminal, and back (characters CP1252 lacks become '?').
std::string cp1252_to_utf8(std::string_view text);
std::string utf8_to_cp1252(std::string_view text);

}  // namespace glossek
