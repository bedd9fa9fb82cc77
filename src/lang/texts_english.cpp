// SPDX-License-Identifier: MIT
// The English texts, written here in UTF-8 and held as CP1252 bytes: a data table, one
// text a line.
#include <string>

#include "lang/captions.h"
#include "lang/language_tables.h"
#include "lang/version.h"

namespace glossek {

LanguageTexts english_texts() {  // NOLINT(readability-function-size)
    LanguageTexts t;
    t.lng_product = "Glossek";
    t.lng_version_suffix = " " + std::string(kVersion);
    t.lng_about_version = "Version " + std::string(kVersion) + " for";
    t.lng_input_missing = "File does not exist or 'Input file' area empty.";
    t.lng_same_input_output = "Input and output files must be different.";
    t.lng_output_exists = "Warning, this file already exists, continue...";
    t.lng_generation_done = "Generation achieved for the file:";
    t.lng_table_file_halted = "Procedure halted: please check your conversion file";
    t.lng_same_input_table = "Input file and conversion file must be different";
    t.lng_same_output_table = "Output file and conversion file must be different";
    t.lng_output_unnamed = "Output file mus have a name";
    t.lng_link_hint = "If any connection problem, see the help file or the program web site.";
    t.lng_row = "Row";
    t.lng_column = "Column";
    t.lng_table_not_keyword =
        "This is not a conversion table: its first line must be CHAR, HEXA or DECI. "
        "Nothing was changed.";
    t.lng_table_char_unsafe =
        "A side holds the byte 13 or 26, which a table in characters cannot keep. "
        "Save the table with codes in hexadecimal or in decimal.";
    t.lng_pair_too_long =
        "Replacement pair %p was stopped on line %l: the line grew past %n bytes, the most "
        "allowed for this line and pair. The conversion was stopped.";
    t.lng_pair_too_many =
        "Replacement pair %p was stopped on line %l after %n replacements, the most allowed "
        "on a line of this length. The conversion was stopped.";
    t.lng_generation_stopped = "Generation stopped: the output file was left as it was:";
    t.lng_all_files = "All files";
    t.lng_code_pages = "Code pages";
    t.lng_dos_page = "&DOS code page:";
    t.lng_windows_page = "&Windows code page:";
    t.lng_code_page_file_bad =
        "The code pages kept in this file cannot be used; the pair of the language settings, "
        "DOS %o - Windows %w, is used instead.";
    t.lng_code_page_file_stopped =
        "The code pages kept in this file cannot be used. Nothing was converted.";
    t.lng_page_unsupported = "%g is not a supported %k code page; supported: %l";
    t.lng_page_pair_bad =
        "'%g' is not a DOS code page and a Windows code page; supported DOS: %d; Windows: %w";
    t.lng_page_file_too_large =
        "This file is larger than 1 KiB, so it is no line of two code pages ('%g')";
    t.lng_table_code_unreadable =
        "Row %r, column %c holds a side that is not a list of codes from 0 to 255: the file "
        "would not read back as it is, so it was not saved.";
    t.lng_table_too_large =
        "A conversion table file holds at most 1 MiB (1,048,576 bytes); this one would be "
        "larger. Nothing was changed.";
    t.lng_table_ambiguous =
        "Several files match this conversion file name without regard to case; give the "
        "name of one exactly:";
    t.lng_table_bad_code = "row %r, side \"%s\": '%c' is not a code";
    t.lng_side_from = caption_of("grd_tcv.0", kLanguageEnglish);
    t.lng_side_to = caption_of("grd_tcv.1", kLanguageEnglish);
    t.lng_table_line_too_long =
        "Replacement pair %p was stopped on line %l: across the pairs of the table the line "
        "grew past %n bytes, the most a line may reach (256 MiB, or 64 times the line as "
        "read). The conversion was stopped.";
    t.lng_pair_from_table = "The pair comes from the conversion file:";
    t.lng_file_not_found = "File not found";
    t.lng_invalid_filename = "Invalid filename";
    t.lng_too_many_files = "Too many open files";
    t.lng_access_denied = "File access denied";
    t.lng_io_error = "I/O error %d";
    t.lng_input_changed =
        "The file changed while it was read: it became shorter. Nothing was written";
    t.lng_disk_read_error = "Disk read error: %s";
    t.lng_disk_write_error = "Disk write error: %s";
    t.lng_disk_full = "the disk is full";
    t.lng_file_too_large = "the file is too large for the system";
    t.lng_quota_exceeded = "the disk quota is exceeded";
    t.lng_device_error = "the device reports an input/output error";
    t.lng_out_of_memory_line =
        "Not enough memory to convert line %l, of %s bytes or more. The conversion was "
        "stopped; no file was changed.";
    t.lng_digit_group = ",";
    t.lng_out_of_memory = "Not enough memory. The command was stopped; no file was changed.";
    t.lng_folder_unknown =
        "The folder the program was started from cannot be known (it was deleted, or its "
        "path is too long): give this name in full, from /. Nothing was converted.";
    t.lng_no_window = "No display: the window cannot open.";
    t.lng_lossy_one = "1 character had no exact counterpart (on line %l)";
    t.lng_lossy_many = "%n characters had no exact counterpart (first on line %l)";
    t.lng_cell_box = "Enter...";
    t.lng_pages_in_force = "DOS %o - Windows %w";
    t.lng_unexpected_error = "Unexpected error.";
    t.lng_kind_dos = "DOS text (%p)";
    t.lng_kind_windows = "Windows text (%p)";
    t.lng_kind_utf8 = "UTF-8 text";
    t.lng_kind_ascii = "ASCII text";
    t.lng_kind_binary = "binary data, not text";
    t.lng_reads_as = "Reads as %k";
    t.lng_reads_empty = "Empty file";
    t.lng_reads_unsure = "Too little text to tell DOS from Windows";
    t.lng_reads_neither = "Reads well neither as DOS %o nor as Windows %w";
    t.lng_reads_better = "%s reads better";
    t.lng_ends_crlf = "CR LF line ends";
    t.lng_ends_lf = "LF line ends";
    t.lng_ends_cr = "CR line ends";
    t.lng_ends_mixed = "mixed line ends";
    t.lng_ends_none = "no line end";
    t.lng_line_one = "1 line";
    t.lng_lines = "%n lines";
    t.lng_convert_anyway = "This file already reads as %k. Convert it anyway?";
    t.lng_convert_binary = "This file reads as binary data, not text. Convert it anyway?";
    t.lng_input_reads_as = "The input already reads as %k.";
    t.lng_use_pages = "&Put DOS %o - Windows %w in force";
    t.lng_not_regular = "Not a regular file (a folder, a device or a pipe): it is not read.";
    t.lng_input_changed_after =
        "The file changed while it was read: what was written of it may not match it";
    t.lng_folder_unnamed = "The output folder must have a name.";
    t.lng_folder_is_file = "The output of a folder must be a folder; this is a file.";
    t.lng_folder_inside_input = "The output folder may not be the input folder nor lie inside it.";
    t.lng_folder_holds_input = "The input folder may not lie inside the output folder.";
    t.lng_files_one = "1 file";
    t.lng_files = "%n files";
    t.lng_links_one = "1 link skipped";
    t.lng_links = "%n links skipped";
    t.lng_converted_one = "1 converted";
    t.lng_converted = "%n converted";
    t.lng_binary_one = "1 binary";
    t.lng_binary = "%n binary";
    t.lng_folder_summary = "%s: %c, %t already %k, %b, %l, %f failed";
    t.lng_folder_summary_table = "%s: %c, %b, %l, %f failed";
    t.lng_target_windows = "Windows text";
    t.lng_target_dos = "DOS text";
    t.lng_folder_input_missing = "The input folder does not exist or is not a folder.";
    t.lng_folder_replace_one =
        "The output folder already holds 1 file that this run would replace. Replace it?";
    t.lng_folder_replace =
        "The output folder already holds %n files that this run would replace. Replace them?";
    t.lng_folder_stopped = "Stopped before the end: only the files listed were written.";
    t.lng_folder_way = "Conversion way: %w";
    t.lng_folder_table = "Auxiliary conversion table: %t";
    t.lng_folder_table_unsaved =
        "Auxiliary conversion table: the one in Auxiliary conversion details, not saved";
    t.lng_result_converted = "converted";
    t.lng_result_target = "copied, already %k";
    t.lng_result_binary = "copied, binary data";
    t.lng_result_link = "link skipped";
    t.lng_result_failed = "failed";
    t.lng_report_filter = "Reports";
    t.lng_cell_not_hexa =
        "'%s' is not a code in hexadecimal: codes are two digits, 00 to FF, with a blank "
        "between them";
    t.lng_cell_not_deci =
        "'%s' is not a code in decimal: codes are three digits, 000 to 255, with a blank "
        "between them";
    t.lng_code_out_of_range = "%s is past 255, the largest code";
    t.lng_notation_refused =
        "Codes in hexadecimal and codes in decimal do not convert into each other: switch to "
        "Characters strings first.";
    t.lng_page_dos = "DOS %p";
    t.lng_page_windows = "Windows %p";
    t.lng_page_utf8 = "UTF-8";
    t.lng_table_filter = "Conversion tables";
    return t;
}

}  // namespace glossek
