// SPDX-License-Identifier: MIT
#include "lang/captions.h"

#include "lang/texts.h"
#include "pages/code_pages.h"

namespace glossek {

namespace {

// Written here in UTF-8, held as CP1252 like every other text of the program.
// A data table: one caption a line.
std::vector<Caption> make_captions() {  // NOLINT(readability-function-size)
    const std::pair<std::string_view, std::pair<std::string_view, std::string_view>> table[] = {
        {"pdn_file", {"&File", "&Fichier"}},
        {"mnu_fin", {"&Input", "&Entrée"}},
        {"mnu_fou", {"&Output", "&Sortie"}},
        {"mnu_fgo", {"&Go", "En &avant!"}},
        {"mnu_fdir", {"Convert a &folder...", "Convertir un &dossier..."}},
        {"mnu_fex", {"E&xit", "&Quitter"}},
        {"pdn_tcv", {"Au&xiliary conversion", "Conversion au&xiliaire"}},
        {"Recallfile1", {"Recall file", "Rappeler fichier"}},
        {"Savefileas1", {"Save file as", "Enregistrer sous..."}},
        {"pdn_win", {"&Window", "F&enêtre"}},
        {"mnu_wge", {"General data", "Ecran principal"}},
        {"Otherconversiondetails1",
         {"Auxiliary conversion details", "Détails conversion auxiliaire"}},
        {"mnu_wvi", {"View input file", "Aperçu du fichier en entrée"}},
        {"mnu_wre", {"View result", "Aperçu du résultat"}},
        {"mnu_wti", {"&Tile", "&Mosaïque"}},
        {"mnu_wca", {"&Cascade", "&Cascade"}},
        {"pdn_opt", {"&Options", "&Options"}},
        {"mnu_olg", {"&Language", "&Langue"}},
        {"mnu_ocp", {"&Code pages...", "&Pages de code..."}},
        {"mnu_US", {"&English", "&Anglais"}},
        {"mnu_FR", {"&French", "&Français"}},
        {"pdn_hlp", {"&Help", "&?"}},
        {"mnu_hin", {"&Index", "&Index"}},
        {"mnu_hab", {"&About", "&A propos"}},
        {"mnu_hauth", {"Author's web page", "Site web de l'auteur"}},
        {"mnu_hglkh", {"Program's web page", "Site web du programme"}},
        {"mnu_hmail", {"Mail to author", "Envoyer un message à l'auteur"}},
        {"frm_gen", {"General data", "Données principales"}},
        {"lbl_inp", {"&Input file:", "F&icher en entrée:"}},
        {"lbl_out", {"Ou&tput file:", "Fichier en sor&tie:"}},
        {"cdr_oem", {"Conversion way", "Conversion..."}},
        {"opt_win", {"DOS (ASCII) to Windows (A&NSI)", "DOS (ASCII) vers Windows (&ANSI)"}},
        {"opt_dos", {"Windows (ANSI) to DOS (A&SCII)", "Windows (ANSI) vers DOS (A&SCII)"}},
        {"opt_xtf",
         {"&Use an auxiliary conversion table", "Avec tableau de conversion a&uxiliaire"}},
        {"cmd_stop", {"Cancel", "Annuler"}},
        {"frm_tcv", {"Auxiliary conversion details", "Conversion par tableau auxiliaire"}},
        {"lbl_tcv", {"Auxiliary file name:", "Non du fichier auxiliaire:"}},
        {"cmd_add", {"&Add", "&Ajouter"}},
        {"cmd_ins", {"&Insert", "&Insérer"}},
        {"cmd_del", {"&Delete", "&Supprimer"}},
        {"cmd_hlp", {"Hel&p", "Ai&de"}},
        {"cdr_tcv", {"Conversion mode", "Mode de conversion"}},
        {"opt_char", {"&Characters strings", "&Chaînes de caractères"}},
        {"opt_hexa", {"Codes in h&exadecimal", "Codes en &hexadécimal"}},
        {"opt_deci", {"Codes in deci&mal", "Codes en déci&mal"}},
        {"grd_tcv.0", {"To be converted", "A convertir"}},
        {"grd_tcv.1", {"Replaced by", "Remplacé par"}},
        {"frm_wvi", {"View input file", "Aperçu du fichier en entrée"}},
        {"frm_wre", {"View result", "Aperçu du résultat"}},
        {"frm_folder", {"Convert a folder", "Convertir un dossier"}},
        {"lbl_fin", {"&Input folder:", "Dossier en &entrée:"}},
        {"cmd_fin", {"&Browse...", "&Parcourir..."}},
        {"lbl_fout", {"&Output folder:", "Dossier en &sortie:"}},
        {"cmd_fout", {"Bro&wse...", "Pa&rcourir..."}},
        {"cmd_fgo", {"&Go", "En &avant!"}},
        {"cmd_fclose", {"Close", "Fermer"}},
        {"cmd_fstop", {"Cancel", "Annuler"}},
        {"frm_report", {"Folder report", "Rapport du dossier"}},
        {"grd_report.0", {"Path", "Chemin"}},
        {"grd_report.1", {"Result", "Résultat"}},
        {"grd_report.2", {"Inexact characters", "Caractères inexacts"}},
        {"grd_report.3", {"First line", "Première ligne"}},
        {"grd_report.4", {"Message", "Message"}},
        {"cmd_rsave", {"&Save report...", "&Enregistrer le rapport..."}},
        {"cmd_rclose", {"Close", "Fermer"}},
        {"help_back", {"Back", "Précédent"}},
        {"help_forward", {"Forward", "Suivant"}},
        {"help_contents", {"Contents", "Sommaire"}},
    };
    std::vector<Caption> result;
    for (const auto& [control, texts] : table) {
        result.push_back({control, utf8_to_cp1252(texts.first), utf8_to_cp1252(texts.second)});
    }
    return result;
}

}  // namespace

const std::vector<Caption>& captions() {
    static const std::vector<Caption> all = make_captions();
    return all;
}

std::string caption_of(std::string_view control, std::string_view code) {
    for (const Caption& caption : captions()) {
        if (caption.control == control) {
            return code == kLanguageFrench ? caption.french : caption.english;
        }
    }
    return {};
}

std::string code_page_title(int page, std::string_view language) {
    struct Name {
        int page;
        const char* english;
        const char* french;  // UTF-8
    };
    static constexpr Name kNames[] = {
        {437, "United States", "Etats-Unis"},
        {737, "Greek", "Grec"},
        {775, "Baltic", "Balte"},
        {850, "Western European", "Europe occidentale"},
        {852, "Central European", "Europe centrale"},
        {855, "Cyrillic", "Cyrillique"},
        {857, "Turkish", "Turc"},
        {858, "Western European with euro", "Europe occidentale avec euro"},
        {860, "Portuguese", "Portugais"},
        {861, "Icelandic", "Islandais"},
        {862, "Hebrew", "Hébreu"},
        {863, "Canadian French", "Français canadien"},
        {864, "Arabic", "Arabe"},
        {865, "Nordic", "Nordique"},
        {866, "Russian", "Russe"},
        {869, "Modern Greek", "Grec moderne"},
        {874, "Thai", "Thaï"},
        {1250, "Central European", "Europe centrale"},
        {1251, "Cyrillic", "Cyrillique"},
        {1252, "Western European", "Europe occidentale"},
        {1253, "Greek", "Grec"},
        {1254, "Turkish", "Turc"},
        {1255, "Hebrew", "Hébreu"},
        {1256, "Arabic", "Arabe"},
        {1257, "Baltic", "Balte"},
        {1258, "Vietnamese", "Vietnamien"},
        {65001, "UTF-8", "UTF-8"},
    };
    const bool dos = is_supported_oem_page(page);
    std::string title = std::to_string(page);
    for (const Name& name : kNames) {
        if (name.page == page) {
            title += ' ';
            title += language == "FR" ? name.french : name.english;
            break;
        }
    }
    return title + (dos ? " (DOS)" : " (Windows)");
}

}  // namespace glossek
