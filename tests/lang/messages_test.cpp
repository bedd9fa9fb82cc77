// SPDX-License-Identifier: MIT
#include "lang/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>

#include "conversion/engine.h"
#include "conversion/replace.h"
#include "files/file_names.h"
#include "files/text_file.h"
#include "lang/folder_texts.h"
#include "table/table_file.h"

namespace glossek {
namespace {

const LanguageTexts& english() {
    static const LanguageTexts texts = language_texts("US");
    return texts;
}
const LanguageTexts& french() {
    static const LanguageTexts texts = language_texts("FR");
    return texts;
}

TEST(ErrorMessage, NamesStayApartFromTheTextWhichFollowsTheLanguage) {
    const std::string name = "/tmp/\xC3\xA9t\xC3\xA9.txt";  // UTF-8, as the system spells it
    ErrorMessage table =
        error_message(TableFileError(TableFileError::Reason::NotAKeyword, name), french());
    EXPECT_EQ(table.file, name);
    EXPECT_EQ(table.text, french().lng_table_not_keyword);

    ErrorMessage missing = error_message(TextIoError(2, name), french());
    EXPECT_EQ(missing.file, name);
    EXPECT_EQ(missing.text, "Fichier introuvable.");

    ErrorMessage endless = error_message(
        ReplacementGuardError(ReplacementGuardError::Reason::Count, 4, 17, 9), french());
    EXPECT_EQ(endless.file, "");
    EXPECT_NE(endless.text.find(" 4 "), std::string::npos);
    EXPECT_NE(endless.text.find("17"), std::string::npos);

    // A code typed in the grid keeps its fixed text.
    ErrorMessage code = error_message(CodeTextError("$", "4G"), english());
    EXPECT_EQ(code.text, "'$4G' is not a valid integer value.");
}

TEST(ErrorMessage, EachFailureNamesItsFilesAndItsCauseInTheLanguageInForce) {
    const TableFileError bad_code(TableFileError::Reason::BadCode, "t.glk", 3, 2, "4G");
    EXPECT_EQ(error_message(bad_code, english()).text,
              "row 3, side \"Replaced by\": '4G' is not a code.");
    EXPECT_EQ(error_message(bad_code, french()).text,
              utf8_to_cp1252("ligne 3, côté « Remplacé par » : « 4G » n'est pas un code."));
    EXPECT_EQ(error_message(bad_code, french()).file, "t.glk");

    const ErrorMessage table_wide =
        error_message(ReplacementGuardError(ReplacementGuardError::Reason::TableGrowth, 29, 1,
                                            268435456, "in.txt", "t.glk"),
                      english());
    EXPECT_EQ(table_wide.file, "in.txt");
    EXPECT_EQ(table_wide.listed, std::vector<std::string>{"t.glk"});
    EXPECT_EQ(table_wide.text.rfind("Replacement pair 29 was stopped on line 1: across the pairs "
                                    "of the table the line grew past 268435456 bytes",
                                    0),
              0u);
    EXPECT_NE(table_wide.text.find("conversion file:"), std::string::npos);

    EXPECT_EQ(error_text(TextIoError(kAccessDenied, "f", EACCES), french()),
              utf8_to_cp1252("Accès au fichier refusé."));
    EXPECT_EQ(error_text(TextIoError(kSharingViolation), french()), "Erreur d'E/S 32.");
    EXPECT_EQ(error_text(TextIoError(kInputChanged, "f"), english())
                  .rfind("The file changed while it was read", 0),
              0u);

    EXPECT_EQ(error_text(CodePageError(CodePageError::Kind::Dos, "999", "GLOSSEK_OEMCP"), french())
                  .rfind("GLOSSEK_OEMCP=999 n'est pas une page de code DOS prise en charge ; ", 0),
              0u);
    const std::string long_line(60, '8');
    EXPECT_EQ(error_text(CodePageError(CodePageError::Kind::Pair, long_line), english())
                  .rfind("'" + long_line.substr(0, 40) + "...' is not a DOS code page", 0),
              0u);
    EXPECT_EQ(code_page_file_bad_text(code_page_pair(866, 1251), english()),
              "The code pages kept in this file cannot be used; the pair of the language "
              "settings, DOS 866 - Windows 1251, is used instead.");
}

TEST(ErrorMessage, SystemFailuresSayWhatHappenedInBothLanguages) {
    EXPECT_EQ(error_text(TextIoError(kDiskReadError, "f", EIO), english()),
              "Disk read error: the device reports an input/output error.");
    EXPECT_EQ(error_text(TextIoError(kDiskWriteError, "f", ENOSPC), english()),
              "Disk write error: the disk is full.");
    EXPECT_EQ(error_text(TextIoError(kDiskWriteError, "f", EFBIG), french()),
              "Erreur d'\xE9"
              "criture sur le disque : le fichier est trop grand pour le syst\xE8"
              "me.");
    // Others in the system's own words.
    EXPECT_EQ(error_text(TextIoError(kDiskWriteError, "f", ELOOP), english())
                  .rfind("Disk write error: ", 0),
              0u);
    // Code 5 stays access denied; an I/O error (errno 5) is no longer taken for it.
    EXPECT_EQ(error_text(TextIoError(5, "f", EACCES), english()), "File access denied.");
    EXPECT_EQ(error_text(TextIoError(kDiskReadError), french()), "Erreur de lecture du disque.");
    // Before a language is applied: English.
    EXPECT_EQ(error_text(TextIoError(kDiskReadError, "f", EIO), LanguageTexts{}),
              "Disk read error: the device reports an input/output error.");
    EXPECT_NE(error_text(TextIoError(kDiskReadError, "f", EIO), english()), "File access denied.");
}

TEST(ErrorMessage, OutOfMemorySaysTheFileTheLineAndItsSize) {
    ErrorMessage line = error_message(OutOfMemoryError("in.txt", 3, 1234567890), english());
    EXPECT_EQ(line.file, "in.txt");
    EXPECT_EQ(line.text,
              "Not enough memory to convert line 3, of 1,234,567,890 bytes or more. The "
              "conversion was stopped; no file was changed.");
    EXPECT_NE(error_text(OutOfMemoryError("in.txt", 3, 1234567890), french()).find("1 234 567 890"),
              std::string::npos);
    EXPECT_EQ(error_text(std::bad_alloc(), french()), french().lng_out_of_memory);
}

TEST(ErrorMessage, CommandLineRefusalsNameTheirFiles) {
    ErrorMessage several = error_message(AmbiguousName("/t/CONV.glk", {"/t/a", "/t/b"}), english());
    EXPECT_EQ(several.file, "/t/CONV.glk");
    EXPECT_EQ(several.listed, (std::vector<std::string>{"/t/a", "/t/b"}));
    EXPECT_EQ(several.text, english().lng_table_ambiguous);
    ErrorMessage unknown = error_message(FolderUnknownError("out.txt"), french());
    EXPECT_EQ(unknown.file, "out.txt");
    EXPECT_EQ(unknown.text, french().lng_folder_unknown);
}

TEST(ErrorMessage, EveryNewTextExistsInBothLanguagesAndDiffers) {
    for (const std::string LanguageTexts::*slot : {&LanguageTexts::lng_table_code_unreadable,
                                                   &LanguageTexts::lng_table_too_large,
                                                   &LanguageTexts::lng_table_ambiguous,
                                                   &LanguageTexts::lng_disk_read_error,
                                                   &LanguageTexts::lng_disk_write_error,
                                                   &LanguageTexts::lng_disk_full,
                                                   &LanguageTexts::lng_file_too_large,
                                                   &LanguageTexts::lng_quota_exceeded,
                                                   &LanguageTexts::lng_device_error,
                                                   &LanguageTexts::lng_out_of_memory_line,
                                                   &LanguageTexts::lng_out_of_memory,
                                                   &LanguageTexts::lng_folder_unknown,
                                                   &LanguageTexts::lng_no_window,
                                                   &LanguageTexts::lng_lossy_one,
                                                   &LanguageTexts::lng_lossy_many,
                                                   &LanguageTexts::lng_cell_not_hexa,
                                                   &LanguageTexts::lng_cell_not_deci,
                                                   &LanguageTexts::lng_code_out_of_range,
                                                   &LanguageTexts::lng_notation_refused,
                                                   &LanguageTexts::lng_table_filter,
                                                   &LanguageTexts::lng_code_page_file_stopped,
                                                   &LanguageTexts::lng_page_unsupported,
                                                   &LanguageTexts::lng_page_pair_bad,
                                                   &LanguageTexts::lng_page_file_too_large,
                                                   &LanguageTexts::lng_table_bad_code,
                                                   &LanguageTexts::lng_side_from,
                                                   &LanguageTexts::lng_side_to,
                                                   &LanguageTexts::lng_table_line_too_long,
                                                   &LanguageTexts::lng_pair_from_table,
                                                   &LanguageTexts::lng_file_not_found,
                                                   &LanguageTexts::lng_invalid_filename,
                                                   &LanguageTexts::lng_too_many_files,
                                                   &LanguageTexts::lng_access_denied,
                                                   &LanguageTexts::lng_io_error,
                                                   &LanguageTexts::lng_input_changed}) {
        EXPECT_FALSE((english().*slot).empty());
        EXPECT_FALSE((french().*slot).empty());
        EXPECT_NE(english().*slot, french().*slot);
    }
}

TEST(LossyText, CountAndFirstLineInEachLanguageNoneWhenNothingWasLost) {
    EXPECT_EQ(lossy_text(3, 12, english()),
              "3 characters had no exact counterpart (first on line 12)");
    EXPECT_EQ(lossy_text(1, 7, english()), "1 character had no exact counterpart (on line 7)");
    EXPECT_EQ(lossy_text(1234567, 12345, english()),
              "1,234,567 characters had no exact counterpart (first on line 12,345)");
    EXPECT_EQ(lossy_text(1234567, 12345, french()),
              utf8_to_cp1252("1 234 567 caractères n'avaient pas d'équivalent exact (le premier "
                             "à la ligne 12 345)"));
    EXPECT_EQ(lossy_text(1, 2, french()),
              utf8_to_cp1252("1 caractère n'avait pas d'équivalent exact (à la ligne 2)"));
    EXPECT_EQ(lossy_text(0, 0, english()), "");
}

TEST(FolderSummary, EachCountSingularOrPluralAndTheWaysOwnTarget) {
    FolderCounts counts;
    counts.files = 1234;
    counts.converted = 1;
    counts.copied_target = 1200;
    counts.copied_binary = 1;
    counts.skipped_links = 2;
    EXPECT_EQ(folder_summary(counts, ConversionWay::DosToWindows, english()),
              "1,234 files: 1 converted, 1,200 already Windows text, 1 binary, 2 links skipped, "
              "0 failed");
    EXPECT_EQ(folder_summary(counts, ConversionWay::WindowsToDos, french()),
              utf8_to_cp1252("1 234 fichiers : 1 converti, 1 200 déjà en texte DOS, 1 binaire, 2 "
                             "liens ignorés, 0 en échec"));
    counts = {1, 0, 0, 3, 1, 0};
    EXPECT_EQ(folder_summary(counts, ConversionWay::AuxiliaryTable, french()),
              utf8_to_cp1252("1 fichier : 0 converti, 3 binaires, 1 lien ignoré, 0 en échec"));
}

TEST(PrintableName, Utf8StaysControlsAndInvalidBytesAreEscaped) {
    EXPECT_EQ(printable_name("/home/u/\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD.txt"),
              "/home/u/\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD.txt");
    EXPECT_EQ(printable_name("a\x1B[2Jb"), "a\\x1B[2Jb");
    EXPECT_EQ(printable_name("line\nend\r\x7F"), "line\\x0Aend\\x0D\\x7F");
    EXPECT_EQ(printable_name(std::string("nul\0", 4)), "nul\\x00");
    EXPECT_EQ(printable_name("\xC2\x9B"
                             "31m"),
              "\\xC2\\x9B31m");  // C1 CSI
    EXPECT_EQ(printable_name("txt.\xE2\x80\xAE"
                             "exe"),
              "txt.\\xE2\\x80\\xAEexe");                                    // turns text
    EXPECT_EQ(printable_name("caf\xE9.txt"), "caf\\xE9.txt");               // CP1252, not UTF-8
    EXPECT_EQ(printable_name("\xC0\xAF"), "\\xC0\\xAF");                    // overlong '/'
    EXPECT_EQ(printable_name("\xED\xA0\x80"), "\\xED\\xA0\\x80");           // a surrogate
    EXPECT_EQ(printable_name("\xF4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");  // past U+10FFFF
    EXPECT_EQ(printable_name("cut\xE4\xB8"), "cut\\xE4\\xB8");
    EXPECT_EQ(printable_name("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(ErrorBoxText, FullStopAfterALastByteThatSortsAfterIt) {
    EXPECT_EQ(error_box_text(TextIoError(2).what()), "File not found.");
    EXPECT_EQ(error_box_text(TextIoError(32).what()), "I/O error 32.");
    EXPECT_EQ(error_box_text("Done."), "Done.");
    EXPECT_EQ(error_box_text("Really!"), "Really!");
    EXPECT_EQ(error_box_text("continue..."), "continue...");
}

TEST(TableEditorTexts, CellFaultsRefusedSavesAndPageNames) {
    EXPECT_EQ(cell_fault_text(check_code_side("41 zz", "HEXA"), "HEXA", english()),
              "'zz' is not a code in hexadecimal: codes are two digits, 00 to FF, with a blank "
              "between them");
    EXPECT_EQ(cell_fault_text(check_code_side("101 999", "DECI"), "DECI", french()),
              utf8_to_cp1252("999 dépasse 255, le plus grand code"));
    EXPECT_EQ(cell_fault_text(check_code_side("065", "DECI"), "DECI", english()), "");
    EXPECT_EQ(error_text(CodeTextError::out_of_range("999"), english()),
              "999 is past 255, the largest code.");
    EXPECT_EQ(error_text(TableFileError(TableFileError::Reason::UnreadableCodeSide, "t.glk", 3, 2),
                         english())
                  .substr(0, 21),
              "Row 3, column 2 holds");
    const CodePagePair pages = code_page_pair(850, 1252);
    EXPECT_EQ(page_name(PageSide::Dos, pages, french()), "DOS 850");
    EXPECT_EQ(page_name(PageSide::Windows, pages, english()), "Windows 1252");
    EXPECT_EQ(page_name(PageSide::Windows, code_page_pair(437, kUtf8Page), english()), "UTF-8");
}

}  // namespace
}  // namespace glossek
