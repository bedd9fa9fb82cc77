// SPDX-License-Identifier: MIT
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDate>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include "app/side_files.h"
#include "files/file_names.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

// Every caption as users read it, written out here so that a wrong text in the program
// cannot pass: control, English, French.
struct Expected {
    const char* control;
    const char* english;
    const char* french;
};

const Expected kFrameMenu[] = {
    {"pdn_file", "&File", "&Fichier"},
    {"mnu_fin", "&Input", "&Entrée"},
    {"mnu_fou", "&Output", "&Sortie"},
    {"mnu_fgo", "&Go", "En &avant!"},
    {"mnu_fdir", "Convert a &folder...", "Convertir un &dossier..."},
    {"mnu_fex", "E&xit", "&Quitter"},
    {"pdn_tcv", "Au&xiliary conversion", "Conversion au&xiliaire"},
    {"Recallfile1", "Recall file", "Rappeler fichier"},
    {"Savefileas1", "Save file as", "Enregistrer sous..."},
    {"pdn_win", "&Window", "F&enêtre"},
    {"mnu_wge", "General data", "Ecran principal"},
    {"Otherconversiondetails1", "Auxiliary conversion details", "Détails conversion auxiliaire"},
    {"mnu_wvi", "View input file", "Aperçu du fichier en entrée"},
    {"mnu_wre", "View result", "Aperçu du résultat"},
    {"mnu_wti", "&Tile", "&Mosaïque"},
    {"mnu_wca", "&Cascade", "&Cascade"},
    {"pdn_opt", "&Options", "&Options"},
    {"mnu_olg", "&Language", "&Langue"},
    {"mnu_ocp", "&Code pages...", "&Pages de code..."},
    {"mnu_US", "&English", "&Anglais"},
    {"mnu_FR", "&French", "&Français"},
    {"pdn_hlp", "&Help", "&?"},
    {"mnu_hin", "&Index", "&Index"},
    {"mnu_hab", "&About", "&A propos"},
    {"mnu_hauth", "Author's web page", "Site web de l'auteur"},
    {"mnu_hglkh", "Program's web page", "Site web du programme"},
    {"mnu_hmail", "Mail to author", "Envoyer un message à l'auteur"},
};

const Expected kGeneralData[] = {
    {"frm_gen", "General data", "Données principales"},
    {"lbl_inp", "&Input file:", "F&icher en entrée:"},
    {"lbl_out", "Ou&tput file:", "Fichier en sor&tie:"},
    {"cdr_oem", "Conversion way", "Conversion..."},
    {"opt_win", "DOS (ASCII) to Windows (A&NSI)", "DOS (ASCII) vers Windows (&ANSI)"},
    {"opt_dos", "Windows (ANSI) to DOS (A&SCII)", "Windows (ANSI) vers DOS (A&SCII)"},
    {"opt_xtf", "&Use an auxiliary conversion table", "Avec tableau de conversion a&uxiliaire"},
    {"cmd_stop", "Cancel", "Annuler"},
};

const Expected kTableEditor[] = {
    {"frm_tcv", "Auxiliary conversion details", "Conversion par tableau auxiliaire"},
    {"lbl_tcv", "Auxiliary file name:", "Non du fichier auxiliaire:"},
    {"cmd_add", "&Add", "&Ajouter"},
    {"cmd_ins", "&Insert", "&Insérer"},
    {"cmd_del", "&Delete", "&Supprimer"},
    {"cmd_hlp", "Hel&p", "Ai&de"},
    {"cdr_tcv", "Conversion mode", "Mode de conversion"},
    {"opt_char", "&Characters strings", "&Chaînes de caractères"},
    {"opt_hexa", "Codes in h&exadecimal", "Codes en &hexadécimal"},
    {"opt_deci", "Codes in deci&mal", "Codes en déci&mal"},
    {"grd_tcv.0", "To be converted", "A convertir"},
    {"grd_tcv.1", "Replaced by", "Remplacé par"},
};

const Expected kViewers[] = {
    {"frm_wvi", "View input file", "Aperçu du fichier en entrée"},
    {"frm_wre", "View result", "Aperçu du résultat"},
};

const Expected kFolderDialogs[] = {
    {"frm_folder", "Convert a folder", "Convertir un dossier"},
    {"lbl_fin", "&Input folder:", "Dossier en &entrée:"},
    {"cmd_fin", "&Browse...", "&Parcourir..."},
    {"lbl_fout", "&Output folder:", "Dossier en &sortie:"},
    {"cmd_fout", "Bro&wse...", "Pa&rcourir..."},
    {"cmd_fgo", "&Go", "En &avant!"},
    {"cmd_fclose", "Close", "Fermer"},
    {"cmd_fstop", "Cancel", "Annuler"},
    {"frm_report", "Folder report", "Rapport du dossier"},
    {"grd_report.0", "Path", "Chemin"},
    {"grd_report.4", "Message", "Message"},
    {"cmd_rsave", "&Save report...", "&Enregistrer le rapport..."},
    {"cmd_rclose", "Close", "Fermer"},
};

struct LanguageSwitch : test::WindowFixture {
    // What a control shows as its caption, whatever kind of control it is; a child window's
    // caption is the one the frame shows around it.
    QString caption(const QString& control) const {
        if (const auto dot = control.indexOf(QChar('.')); dot >= 0) {
            return find<QTableWidget>(control.left(dot).toLatin1().constData())
                ->horizontalHeaderItem(control.mid(dot + 1).toInt())
                ->text();
        }
        QObject* object = frame->findChild<QObject*>(control);
        if (object == nullptr) {
            ADD_FAILURE() << "no control " << control.toStdString();
            return {};
        }
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            return menu->title();
        }
        if (auto* action = qobject_cast<QAction*>(object)) {
            return action->text();
        }
        if (auto* group = qobject_cast<QGroupBox*>(object)) {
            return group->title();
        }
        if (auto* label = qobject_cast<QLabel*>(object)) {
            return label->text();
        }
        if (auto* button = qobject_cast<QAbstractButton*>(object)) {
            return button->text();
        }
        if (auto* dialog = qobject_cast<QDialog*>(object)) {
            return dialog->windowTitle();
        }
        return window(control.toLatin1().constData())->windowTitle();
    }

    template <std::size_t N>
    void expect_captions(const Expected (&table)[N], bool french) const {
        for (const Expected& e : table) {
            EXPECT_EQ(caption(QString::fromLatin1(e.control)),
                      QString::fromUtf8(french ? e.french : e.english))
                << e.control;
        }
    }

    void expect_every_caption(bool french) const {
        expect_captions(kFrameMenu, french);
        expect_captions(kGeneralData, french);
        expect_captions(kTableEditor, french);
        expect_captions(kViewers, french);
        expect_captions(kFolderDialogs, french);
    }

    int maximised_count() const {
        int count = 0;
        for (QMdiSubWindow* w : frame->findChildren<QMdiSubWindow*>()) {
            count += w->isMaximized() ? 1 : 0;
        }
        return count;
    }

    // A new run of the program in the same folder, knowing no language yet.
    void restart() {
        windows.reset();
        state.language_code.clear();
        state.texts = LanguageTexts();
        start();
    }
};

TEST_F(LanguageSwitch, NoFileStartsInEnglishWithoutCreatingItAndEnglishThenCreatesIt) {
    start();
    expect_every_caption(false);
    EXPECT_EQ(state.language_code, "US");
    EXPECT_FALSE(file_exists(dir.file("GLK32.LNG")));
    // Written beside the program even when the current folder has moved elsewhere.
    const std::string elsewhere = dir.file("elsewhere");
    ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
    const std::string before = current_folder();
    ASSERT_EQ(::chdir(elsewhere.c_str()), 0);
    trigger("mnu_US");
    ASSERT_EQ(::chdir(before.c_str()), 0);
    EXPECT_EQ(dir.read("GLK32.LNG"), "US\r\n");
    EXPECT_FALSE(file_exists(elsewhere + "/GLK32.LNG"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LanguageSwitch, FrenchIsWrittenInFourBytesAndReadAtTheNextStart) {
    start();
    trigger("mnu_FR");
    EXPECT_EQ(dir.read("GLK32.LNG"), "FR\r\n");
    expect_every_caption(true);

    restart();
    EXPECT_EQ(state.language_code, "FR");
    expect_every_caption(true);
    EXPECT_EQ(state.texts.lng_row, "Ligne");
}

TEST_F(LanguageSwitch, FileIsReadAtStartAndNotRewritten) {
    dir.write("GLK32.LNG", "FRxx\r\nUS\r\n");
    start();
    expect_every_caption(true);
    EXPECT_EQ(dir.read("GLK32.LNG"), "FRxx\r\nUS\r\n");

    // An unknown code is corrected in memory only, so the table's help is the English one.
    dir.write("GLK32.LNG", " FR\r\n");
    restart();
    expect_every_caption(false);
    EXPECT_EQ(state.language_code, "US");
    EXPECT_EQ(dir.read("GLK32.LNG"), " FR\r\n");
    find<QAbstractButton>("cmd_hlp")->click();
    EXPECT_EQ(dialogs.texts("help"), std::vector<QString>{"_TabUS"});
}

TEST_F(LanguageSwitch, SwitchRewritesTheCaptionsAndLeavesTheDataAlone) {
    start();
    box("txt_inp")->setText(QStringLiteral("/data/in.txt"));
    box("txt_out")->setText(QStringLiteral("/data/out.txt"));
    option("opt_dos")->setChecked(true);
    grid()->setCurrentCell(0, 0);
    QTest::keyClicks(grid(), "a");
    option("opt_hexa")->setChecked(true);
    find<QPlainTextEdit>("mem_wvi")->setPlainText("input line");
    find<QPlainTextEdit>("mem_wre")->setPlainText("result line");
    action("mnu_wvi")->setEnabled(true);

    trigger("mnu_FR");
    expect_every_caption(true);
    EXPECT_EQ(frame->windowTitle(),
              "Glossek " + test::version() + QString::fromUtf8(" - [Données principales]"));
    EXPECT_EQ(box("txt_inp")->text(), "/data/in.txt");
    EXPECT_EQ(box("txt_out")->text(), "/data/out.txt");
    EXPECT_TRUE(option("opt_dos")->isChecked());
    EXPECT_EQ(state.table.notation, "HEXA");
    EXPECT_TRUE(option("opt_hexa")->isChecked());
    EXPECT_EQ(grid()->item(0, 0)->text(), "61");
    EXPECT_EQ(state.table.pairs[0].char_from, "a");
    EXPECT_EQ(lines("mem_wvi"), QStringList{"input line"});
    EXPECT_EQ(lines("mem_wre"), QStringList{"result line"});
    EXPECT_TRUE(action("mnu_wvi")->isEnabled());
    EXPECT_FALSE(action("mnu_wre")->isEnabled());

    trigger("mnu_US");
    expect_every_caption(false);
    EXPECT_EQ(frame->windowTitle(), "Glossek " + test::version() + " - [General data]");
    EXPECT_EQ(grid()->item(0, 0)->text(), "61");
}

TEST_F(LanguageSwitch, RechoosingTheLanguageInForceRewritesTheFileAndShowsGeneralData) {
    dir.write("GLK32.LNG", "FRxx\r\n");
    start();
    trigger("Otherconversiondetails1");
    ASSERT_TRUE(maximised("frm_tcv"));
    trigger("mnu_FR");
    EXPECT_EQ(dir.read("GLK32.LNG"), "FR\r\n");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_EQ(maximised_count(), 1);
    EXPECT_TRUE(minimised("frm_tcv"));
    expect_every_caption(true);
}

TEST_F(LanguageSwitch, MessagesShownAfterASwitchAreInTheNewLanguage) {
    start();
    trigger("mnu_FR");
    box("txt_inp")->setText(name("same.txt"));
    box("txt_out")->setText(name("same.txt"));
    trigger("mnu_fgo");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromUtf8("Les fichiers en entrée et en sortie doivent être différents."));

    grid()->setCurrentCell(0, 1);
    dialogs.inputs.push_back(std::nullopt);
    QTest::keyClick(grid(), Qt::Key_Return);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].title, "Enter...");
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("Ligne: 1 Colonne: 2|"))
        << dialogs.shown[1].text.toStdString();

    dialogs.files.push_back(std::nullopt);
    trigger("mnu_fin");
    EXPECT_EQ(dialogs.shown.back().text, " (*.txt)|*.TXT||Tous les fichiers|*");
}

TEST_F(LanguageSwitch, QtsOwnTextsFollowTheLanguage) {
    start();
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    EXPECT_EQ(yes(), "&Yes");
    trigger("mnu_FR");
    EXPECT_EQ(yes(), "&Oui");
    // Dates and sizes too, as the file dialogs write them.
    EXPECT_EQ(QLocale().toString(QDate(2024, 3, 1), QStringLiteral("MMMM")), "mars");
    // The child windows' own menu too.
    QStringList system_menu;
    for (QAction* item : window("frm_tcv")->systemMenu()->actions()) {
        system_menu << item->text();
    }
    EXPECT_TRUE(system_menu.contains("&Fermer")) << system_menu.join(",").toStdString();
    trigger("mnu_US");
    EXPECT_EQ(yes(), "&Yes");
    EXPECT_EQ(QLocale().toString(QDate(2024, 3, 1), QStringLiteral("MMMM")), "March");
    system_menu.clear();
    for (QAction* item : window("frm_tcv")->systemMenu()->actions()) {
        system_menu << item->text();
    }
    EXPECT_TRUE(system_menu.contains("&Close")) << system_menu.join(",").toStdString();
}

// The access keys of each window are its menu bar's and its own controls'; those of each
// menu its items'. In both languages no two of them are the same letter.
TEST_F(LanguageSwitch, AccessKeysAreUniqueInEachWindowAndMenuInBothLanguages) {
    const auto key_of = [](const QString& caption) {
        const auto at = caption.indexOf(QChar('&'));
        return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
    };
    const auto expect_unique = [&](const QStringList& captions, const QString& where) {
        QString keys;
        for (const QString& caption : captions) {
            const QChar key = key_of(caption);
            EXPECT_TRUE(key.isNull() || !keys.contains(key))
                << where.toStdString() << ": " << caption.toStdString();
            keys += key;
        }
    };
    start();
    for (const char* language : {"mnu_US", "mnu_FR"}) {
        trigger(language);
        QStringList menu_bar;
        for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            menu_bar << menu->title();
            QStringList items;
            for (QAction* item : menu->actions()) {
                items << item->text();
            }
            expect_unique(items, menu->title());
        }
        for (const char* child : {"frm_gen", "frm_tcv"}) {
            QStringList captions = menu_bar;
            for (auto* label : window(child)->findChildren<QLabel*>()) {
                captions << label->text();
            }
            for (auto* button : window(child)->findChildren<QAbstractButton*>()) {
                captions << button->text();
            }
            expect_unique(captions, QString::fromLatin1(child));
        }
        // The folder dialog and its report are windows of their own, without the menu bar.
        for (const char* name : {"frm_folder", "frm_report"}) {
            auto* dialog = find<QWidget>(name);
            QStringList captions;
            for (auto* control : dialog->findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(control);
                auto* button = qobject_cast<QAbstractButton*>(control);
                if (control->window() == dialog && (label != nullptr || button != nullptr)) {
                    captions << (label != nullptr ? label->text() : button->text());
                }
            }
            expect_unique(captions, QString::fromLatin1(name));
        }
        trigger("mnu_ocp");
        const QString labels = dialogs.shown.back().text;
        expect_unique(labels.split(QChar('|')).mid(0, 2), QStringLiteral("code pages"));
        EXPECT_EQ(key_of(labels.section(QChar('|'), 0, 0)), QChar('d'));
    }
}

TEST_F(LanguageSwitch, FailedWriteIsReportedWithTheNewLanguageKeptAndEveryChildMinimised) {
    start();
    // The program's folder is a plain file: nothing can be created in it, even by root.
    state.program_dir = dir.write("plain", "x") + "/";
    trigger("mnu_FR");
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(state.language_code, "FR");
    expect_every_caption(true);
    EXPECT_EQ(maximised_count(), 0);
    EXPECT_TRUE(minimised("frm_gen"));
    EXPECT_EQ(dir.read("plain"), "x");
    EXPECT_FALSE(file_exists(dir.file("GLK32.LNG")));
}

}  // namespace
}  // namespace glossek
