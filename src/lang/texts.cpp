// SPDX-License-Identifier: MIT
#include "lang/texts.h"

#include <array>
#include <cstdint>

#include "files/file_names.h"
#include "files/text_file.h"
#include "lang/captions.h"
#include "lang/version.h"

namespace glossek {

namespace {

// Code points of CP1252 bytes 0x80 to 0x9F; 0 where the byte is undefined.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        std::uint16_t cp = kHighControls[byte - 0x80];
        return cp != 0 ? cp : byte;
    }
    return byte;
}

void append_utf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The texts are written here in UTF-8 and held as CP1252 bytes.
// A data table: one text a line.
LanguageTexts make_english() {  // NOLINT(readability-function-size)
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
    t.lng_dos_page = "DOS code page:";
    t.lng_windows_page = "Windows code page:";
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
        "Row %r holds a side that is not a list of valid codes: the file could not be read "
        "back, so it was not saved.";
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
    return t;
}

LanguageTexts make_french() {  // NOLINT(readability-function-size)
    LanguageTexts t;
    t.lng_product = "Glossek";
    t.lng_version_suffix = " " + std::string(kVersion);
    t.lng_about_version = "Version " + std::string(kVersion) + " pour";
    t.lng_input_missing = utf8_to_cp1252("Le fichier n'existe pas ou la zone 'entrée' est vide.");
    t.lng_same_input_output =
        utf8_to_cp1252("Les fichiers en entrée et en sortie doivent être différents.");
    t.lng_output_exists = "Attention, ce fichier existe, continuer...";
    t.lng_generation_done = utf8_to_cp1252("Generation terminatée pour le fichier:");
    t.lng_table_file_halted =
        utf8_to_cp1252("Procédure interrompue: vérifier le fichier de conversion");
    t.lng_same_input_table =
        utf8_to_cp1252("Les Fichiers d'entrée et de conversion doivent être différents");
    t.lng_same_output_table =
        utf8_to_cp1252("Les Fichiers de sortie et de conversion doivent être différents");
    t.lng_output_unnamed = "Output file mus have a name";
    t.lng_link_hint = utf8_to_cp1252(
        "En cas de problème de connexion, voir le ficher d'aide ou le site du programme.");
    t.lng_row = "Ligne";
    t.lng_column = "Colonne";
    t.lng_table_not_keyword = utf8_to_cp1252(
        "Ce n'est pas un tableau de conversion : sa première ligne doit être CHAR, HEXA ou "
        "DECI. Rien n'a été modifié.");
    t.lng_table_char_unsafe = utf8_to_cp1252(
        "Un côté contient l'octet 13 ou 26, qu'un tableau en caractères ne peut pas garder. "
        "Enregistrez le tableau en codes hexadécimaux ou décimaux.");
    t.lng_pair_too_long = utf8_to_cp1252(
        "Le couple de remplacement %p a été arrêté à la ligne %l : la ligne a dépassé %n "
        "octets, le maximum permis pour cette ligne et ce couple. La conversion a été "
        "arrêtée.");
    t.lng_pair_too_many = utf8_to_cp1252(
        "Le couple de remplacement %p a été arrêté à la ligne %l après %n remplacements, le "
        "maximum permis sur une ligne de cette longueur. La conversion a été arrêtée.");
    t.lng_generation_stopped =
        utf8_to_cp1252("Génération interrompue : le fichier de sortie est resté tel quel :");
    t.lng_all_files = "Tous les fichiers";
    t.lng_code_pages = "Pages de code";
    t.lng_dos_page = "Page de code DOS :";
    t.lng_windows_page = "Page de code Windows :";
    t.lng_code_page_file_bad = utf8_to_cp1252(
        "Les pages de code enregistrées dans ce fichier ne peuvent pas servir ; la paire des "
        "réglages de langue, DOS %o - Windows %w, est utilisée à la place.");
    t.lng_code_page_file_stopped = utf8_to_cp1252(
        "Les pages de code enregistrées dans ce fichier ne peuvent pas servir. Rien n'a été "
        "converti.");
    t.lng_page_unsupported = utf8_to_cp1252(
        "%g n'est pas une page de code %k prise en charge ; pages prises en charge : %l");
    t.lng_page_pair_bad = utf8_to_cp1252(
        "« %g » n'est pas une page de code DOS suivie d'une page de code Windows ; pages DOS "
        "prises en charge : %d ; Windows : %w");
    t.lng_page_file_too_large = utf8_to_cp1252(
        "Ce fichier dépasse 1 Kio : ce n'est pas une ligne de deux pages de code (« %g »)");
    t.lng_table_code_unreadable = utf8_to_cp1252(
        "La ligne %r contient un côté qui n'est pas une suite de codes valides : le fichier ne "
        "pourrait pas être relu, il n'a donc pas été enregistré.");
    t.lng_table_too_large = utf8_to_cp1252(
        "Un fichier de conversion contient au plus 1 Mio (1 048 576 octets) ; celui-ci serait "
        "plus grand. Rien n'a été modifié.");
    t.lng_table_ambiguous = utf8_to_cp1252(
        "Plusieurs fichiers correspondent à ce nom de fichier de conversion sans tenir compte "
        "des majuscules ; donnez exactement le nom de l'un d'eux :");
    t.lng_table_bad_code = utf8_to_cp1252("ligne %r, côté « %s » : « %c » n'est pas un code");
    t.lng_side_from = caption_of("grd_tcv.0", kLanguageFrench);
    t.lng_side_to = caption_of("grd_tcv.1", kLanguageFrench);
    t.lng_table_line_too_long = utf8_to_cp1252(
        "Le couple de remplacement %p a été arrêté à la ligne %l : au fil des couples du "
        "tableau, la ligne a dépassé %n octets, le maximum qu'une ligne peut atteindre "
        "(256 Mio, ou 64 fois la ligne lue). La conversion a été arrêtée.");
    t.lng_pair_from_table = "Le couple vient du fichier de conversion :";
    t.lng_file_not_found = "Fichier introuvable";
    t.lng_invalid_filename = "Nom de fichier incorrect";
    t.lng_too_many_files = "Trop de fichiers ouverts";
    t.lng_access_denied = utf8_to_cp1252("Accès au fichier refusé");
    t.lng_io_error = "Erreur d'E/S %d";
    t.lng_input_changed = utf8_to_cp1252(
        "Le fichier a changé pendant sa lecture : il est devenu plus court. Rien n'a été "
        "écrit");
    t.lng_disk_read_error = utf8_to_cp1252("Erreur de lecture du disque : %s");
    t.lng_disk_write_error = utf8_to_cp1252("Erreur d'écriture sur le disque : %s");
    t.lng_disk_full = utf8_to_cp1252("le disque est plein");
    t.lng_file_too_large = utf8_to_cp1252("le fichier est trop grand pour le système");
    t.lng_quota_exceeded = utf8_to_cp1252("le quota de disque est dépassé");
    t.lng_device_error = utf8_to_cp1252("le périphérique signale une erreur d'entrée-sortie");
    t.lng_out_of_memory_line = utf8_to_cp1252(
        "Mémoire insuffisante pour convertir la ligne %l, de %s octets ou plus. La conversion "
        "a été arrêtée ; aucun fichier n'a été modifié.");
    t.lng_digit_group = " ";
    t.lng_out_of_memory = utf8_to_cp1252(
        "Mémoire insuffisante. La commande a été arrêtée ; aucun fichier n'a été modifié.");
    t.lng_folder_unknown = utf8_to_cp1252(
        "Le dossier d'où le programme a été lancé est inconnu (supprimé, ou son chemin est "
        "trop long) : donnez ce nom en entier, depuis /. Rien n'a été converti.");
    t.lng_no_window = utf8_to_cp1252("Pas d'affichage : la fenêtre ne peut pas s'ouvrir.");
    t.lng_lossy_one = utf8_to_cp1252("1 caractère n'avait pas d'équivalent exact (à la ligne %l)");
    t.lng_lossy_many =
        utf8_to_cp1252("%n caractères n'avaient pas d'équivalent exact (le premier à la ligne %l)");
    t.lng_cell_box = "Enter...";
    t.lng_pages_in_force = "DOS %o - Windows %w";
    t.lng_unexpected_error = "Unexpected error.";
    return t;
}

}  // namespace

LanguageTexts language_texts(std::string_view code) {
    static const LanguageTexts english = make_english();
    static const LanguageTexts french = make_french();
    return code == kLanguageFrench ? french : english;
}

std::string corrected_language_code(std::string_view code) {
    return std::string(code == kLanguageFrench ? kLanguageFrench : kLanguageEnglish);
}

std::string read_language_code(const std::string& file_name) {
    if (!file_exists(file_name)) {
        return std::string(kLanguageEnglish);
    }
    TextLineFile file;
    file.open_read(file_name);
    std::string code = file.read_field(2);
    file.skip_line();
    file.close();
    return code;
}

void write_language_file(const std::string& file_name, std::string_view code) {
    TextLineFile file;
    file.open_write(file_name);
    file.write_text(code);
    file.end_line();
    file.close();
}

std::string cp1252_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string utf8_to_cp1252(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
            cp = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += length;
        char byte = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
            byte = static_cast<char>(cp);
        } else {
            for (std::size_t k = 0; k < kHighControls.size(); ++k) {
                if (kHighControls[k] == cp) {
                    byte = static_cast<char>(0x80 + k);
                }
            }
        }
        out += byte;
    }
    return out;
}

}  // namespace glossek
