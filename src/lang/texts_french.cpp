// SPDX-License-Identifier: MIT
// The French texts, written here in UTF-8 and held as CP1252 bytes: a data table, one
// text a line.
#include <string>

#include "lang/captions.h"
#include "lang/language_tables.h"
#include "lang/version.h"

namespace glossek {

LanguageTexts french_texts() {  // NOLINT(readability-function-size)
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
    t.lng_dos_page = "Page de code &DOS :";
    t.lng_windows_page = "Page de code &Windows :";
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
        "La ligne %r, colonne %c, contient un côté qui n'est pas une suite de codes de 0 à "
        "255 : le fichier ne serait pas relu tel quel, il n'a donc pas été enregistré.");
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
    t.lng_kind_dos = "du texte DOS (%p)";
    t.lng_kind_windows = "du texte Windows (%p)";
    t.lng_kind_utf8 = "du texte UTF-8";
    t.lng_kind_ascii = "du texte ASCII";
    t.lng_kind_binary = utf8_to_cp1252("des données binaires, pas du texte");
    t.lng_reads_as = "Se lit comme %k";
    t.lng_reads_empty = "Fichier vide";
    t.lng_reads_unsure = "Trop peu de texte pour distinguer DOS et Windows";
    t.lng_reads_neither = "Ne se lit bien ni en DOS %o ni en Windows %w";
    t.lng_reads_better = "%s se lit mieux";
    t.lng_ends_crlf = "fins de ligne CR LF";
    t.lng_ends_lf = "fins de ligne LF";
    t.lng_ends_cr = "fins de ligne CR";
    t.lng_ends_mixed = utf8_to_cp1252("fins de ligne mêlées");
    t.lng_ends_none = "sans fin de ligne";
    t.lng_line_one = "1 ligne";
    t.lng_lines = "%n lignes";
    t.lng_convert_anyway =
        utf8_to_cp1252("Ce fichier se lit déjà comme %k. Le convertir quand même ?");
    t.lng_convert_binary = utf8_to_cp1252(
        "Ce fichier se lit comme des données binaires, pas du texte. Le convertir quand même ?");
    t.lng_input_reads_as = utf8_to_cp1252("L'entrée se lit déjà comme %k.");
    t.lng_use_pages = "&Prendre DOS %o - Windows %w";
    t.lng_not_regular = utf8_to_cp1252(
        "Ce n'est pas un fichier ordinaire (un dossier, un périphérique ou un tube) : il "
        "n'est pas lu.");
    t.lng_input_changed_after = utf8_to_cp1252(
        "Le fichier a changé pendant sa lecture : ce qui en a été écrit peut ne pas lui "
        "correspondre");
    t.lng_folder_unnamed = "Le dossier de sortie doit avoir un nom.";
    t.lng_folder_is_file =
        utf8_to_cp1252("La sortie d'un dossier doit être un dossier ; ceci est un fichier.");
    t.lng_folder_inside_input = utf8_to_cp1252(
        "Le dossier de sortie ne peut être le dossier d'entrée ni se trouver dedans.");
    t.lng_folder_holds_input =
        utf8_to_cp1252("Le dossier d'entrée ne peut se trouver dans le dossier de sortie.");
    t.lng_files_one = "1 fichier";
    t.lng_files = "%n fichiers";
    t.lng_links_one = utf8_to_cp1252("1 lien ignoré");
    t.lng_links = utf8_to_cp1252("%n liens ignorés");
    t.lng_zero_singular = "0";
    t.lng_converted_one = "1 converti";
    t.lng_converted = "%n convertis";
    t.lng_binary_one = "1 binaire";
    t.lng_binary = "%n binaires";
    t.lng_folder_summary = utf8_to_cp1252("%s : %c, %t déjà en %k, %b, %l, %f en échec");
    t.lng_folder_summary_table = utf8_to_cp1252("%s : %c, %b, %l, %f en échec");
    t.lng_target_windows = "texte Windows";
    t.lng_target_dos = "texte DOS";
    t.lng_folder_input_missing =
        utf8_to_cp1252("Le dossier d'entrée n'existe pas ou n'est pas un dossier.");
    t.lng_folder_replace_one = utf8_to_cp1252(
        "Le dossier de sortie contient déjà 1 fichier que cette conversion remplacerait. Le "
        "remplacer ?");
    t.lng_folder_replace = utf8_to_cp1252(
        "Le dossier de sortie contient déjà %n fichiers que cette conversion remplacerait. Les "
        "remplacer ?");
    t.lng_folder_stopped =
        utf8_to_cp1252("Arrêté avant la fin : seuls les fichiers de la liste ont été écrits.");
    t.lng_folder_way = "Conversion : %w";
    t.lng_folder_table = "Tableau de conversion auxiliaire : %t";
    t.lng_folder_table_unsaved = utf8_to_cp1252(
        "Tableau de conversion auxiliaire : celui de Conversion par tableau auxiliaire, non "
        "enregistré");
    t.lng_result_converted = "converti";
    t.lng_result_target = utf8_to_cp1252("copié, déjà en %k");
    t.lng_result_binary = utf8_to_cp1252("copié, données binaires");
    t.lng_result_link = utf8_to_cp1252("lien ignoré");
    t.lng_result_failed = utf8_to_cp1252("en échec");
    t.lng_report_filter = "Rapports";
    t.lng_cell_not_hexa = utf8_to_cp1252(
        "'%s' n'est pas un code hexadécimal : les codes ont deux chiffres, de 00 à FF, séparés "
        "par un blanc");
    t.lng_cell_not_deci = utf8_to_cp1252(
        "'%s' n'est pas un code décimal : les codes ont trois chiffres, de 000 à 255, séparés "
        "par un blanc");
    t.lng_code_out_of_range = utf8_to_cp1252("%s dépasse 255, le plus grand code");
    t.lng_notation_refused = utf8_to_cp1252(
        "Les codes hexadécimaux et les codes décimaux ne se convertissent pas les uns dans les "
        "autres : passez d'abord par Chaînes de caractères.");
    t.lng_page_dos = "DOS %p";
    t.lng_page_windows = "Windows %p";
    t.lng_page_utf8 = "UTF-8";
    t.lng_table_filter = "Tables de conversion";
    return t;
}

}  // namespace glossek
