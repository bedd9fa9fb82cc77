#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

#include "app/batch.h"
#include "app/qt_text.h"
#include "lang/captions.h"
#include "support/window_fixture.h"

namespace glossek {
namespace {

using test::WindowFixture;

struct LanguageSwitch : WindowFixture {
    // What a control shows as its caption, whatever kind of control it is.
    QString caption(const std::string_view control) const {
        const QString name =
            QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size()));
        if (const auto dot = name.indexOf(QChar('.')); dot >= 0) {
            auto* grid = frame->findChild<QTableWidget*>(name.left(dot));
            return grid->horizontalHeaderItem(name.mid(dot + 1).toInt())->text();
        }
        QObject* object = frame->findChild<QObject*>(name);
        if (object == nullptr) {
            ADD_FAILURE() << "no control " << name.toStdString();
            return {};
        }
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            return menu->title();
        }
        if (auto* action = qobject_cast<QAction*>(object)) {
            return action->text();
        }
        if (auto* box = qobject_cast<QGroupBox*>(object)) {
            return box->title();
        }
        if (auto* label = qobject_cast<QLabel*>(object)) {
            return label->text();
        }
        if (auto* button = qobject_cast<QAbstractButton*>(object)) {
            return button->text();
        }
        auto* widget = qobject_cast<QWidget*>(object);
        EXPECT_EQ(frame->child_window_of(widget)->windowTitle(), widget->windowTitle());
        return widget->windowTitle();
    }

    void expect_every_caption_in(std::string_view code) const {
        for (const Caption& c : captions()) {
            EXPECT_EQ(caption(c.control), from_cp1252(code == "FR" ? c.french : c.english))
                << c.control;
        }
    }

    int maximised_count() const {
        int count = 0;
        for (QMdiSubWindow* window : frame->mdi_area()->subWindowList()) {
            count += window->isMaximized() ? 1 : 0;
        }
        return count;
    }

    // A new run of the program in the same folder, knowing no language yet.
    void restart() {
        frame.reset();
        state.LanguageCode.clear();
        state.texts = LanguageTexts();
        start();
    }
};

TEST_F(LanguageSwitch, NoFileStartsInEnglishWithoutCreatingItAndEnglishThenCreatesIt) {
    start();
    expect_every_caption_in("US");
    EXPECT_EQ(state.LanguageCode, "US");
    EXPECT_FALSE(file_exists(dir.file("GLK32.LNG")));
    // Written beside the program even when the current folder has moved elsewhere.
    const std::string elsewhere = dir.file("elsewhere");
    ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
    const std::string before = current_folder();
    ASSERT_EQ(::chdir(elsewhere.c_str()), 0);
    frame->mnu_US->trigger();
    ASSERT_EQ(::chdir(before.c_str()), 0);
    EXPECT_EQ(dir.read("GLK32.LNG"), "US\r\n");
    EXPECT_FALSE(file_exists(elsewhere + "/GLK32.LNG"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LanguageSwitch, FrenchIsWrittenInFourBytesAndReadAtTheNextStart) {
    start();
    frame->mnu_FR->trigger();
    EXPECT_EQ(dir.read("GLK32.LNG"), "FR\r\n");
    expect_every_caption_in("FR");

    restart();
    EXPECT_EQ(state.LanguageCode, "FR");
    expect_every_caption_in("FR");
    EXPECT_EQ(state.texts.lng_row, "Ligne");
}

TEST_F(LanguageSwitch, FileIsReadAtStartAndNotRewritten) {
    dir.write("GLK32.LNG", "FRxx\r\nUS\r\n");
    start();
    expect_every_caption_in("FR");
    EXPECT_EQ(dir.read("GLK32.LNG"), "FRxx\r\nUS\r\n");

    // An unknown code is corrected in memory only, so the table's help is the English one.
    dir.write("GLK32.LNG", " FR\r\n");
    restart();
    expect_every_caption_in("US");
    EXPECT_EQ(state.LanguageCode, "US");
    EXPECT_EQ(dir.read("GLK32.LNG"), " FR\r\n");
    frame->frm_tcv->cmd_hlp->click();
    EXPECT_EQ(dialogs.texts("help"), std::vector<QString>{"_TabUS"});
}

TEST_F(LanguageSwitch, SwitchRewritesTheCaptionsAndLeavesTheDataAlone) {
    start();
    gen().txt_inp->setText(QStringLiteral("/data/in.txt"));
    gen().txt_out->setText(QStringLiteral("/data/out.txt"));
    gen().opt_dos->setChecked(true);
    Tfrm_tcv& tcv = *frame->frm_tcv;
    tcv.grd_tcv->setCurrentCell(0, 0);
    tcv.grd_tcvKeyPress(QStringLiteral("a"));
    tcv.opt_hexa->setChecked(true);
    frame->frm_wvi->append_lines({QStringLiteral("input line")});
    frame->frm_wre->append_lines({QStringLiteral("result line")});
    frame->mnu_wvi->setEnabled(true);

    frame->mnu_FR->trigger();
    expect_every_caption_in("FR");
    EXPECT_EQ(frame->pdn_opt->title(), "&Options");
    EXPECT_EQ(frame->mnu_hin->text(), "&Index");
    EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("Glossek 3.12 - [Données principales]"));
    EXPECT_EQ(gen().txt_inp->text(), "/data/in.txt");
    EXPECT_EQ(gen().txt_out->text(), "/data/out.txt");
    EXPECT_TRUE(gen().opt_dos->isChecked());
    EXPECT_EQ(state.job.Notation, "HEXA");
    EXPECT_TRUE(tcv.opt_hexa->isChecked());
    EXPECT_EQ(tcv.grd_tcv->item(0, 0)->text(), "61");
    EXPECT_EQ(state.table.pairs[0].char_from, "a");
    EXPECT_EQ(frame->frm_wvi->line(0), "input line");
    EXPECT_EQ(frame->frm_wre->line(0), "result line");
    EXPECT_TRUE(frame->mnu_wvi->isEnabled());
    EXPECT_FALSE(frame->mnu_wre->isEnabled());

    frame->mnu_US->trigger();
    expect_every_caption_in("US");
    EXPECT_EQ(frame->windowTitle(), "Glossek 3.12 - [General data]");
    EXPECT_EQ(tcv.grd_tcv->item(0, 0)->text(), "61");
}

TEST_F(LanguageSwitch, RechoosingTheLanguageInForceRewritesTheFileAndShowsGeneralData) {
    dir.write("GLK32.LNG", "FRxx\r\n");
    start();
    frame->Otherconversiondetails1->trigger();
    ASSERT_TRUE(maximised(frame->frm_tcv));
    frame->mnu_FR->trigger();
    EXPECT_EQ(dir.read("GLK32.LNG"), "FR\r\n");
    EXPECT_TRUE(maximised(frame->frm_gen));
    EXPECT_EQ(maximised_count(), 1);
    EXPECT_TRUE(minimised(frame->frm_tcv));
    EXPECT_TRUE(minimised(frame->frm_wvi));
    EXPECT_TRUE(minimised(frame->frm_wre));
    expect_every_caption_in("FR");
}

TEST_F(LanguageSwitch, MessagesShownAfterASwitchAreInTheNewLanguage) {
    start();
    frame->mnu_FR->trigger();
    gen().txt_inp->setText(name("same.txt"));
    gen().txt_out->setText(name("same.txt"));
    frame->mnu_fgo->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromUtf8("Les fichiers en entrée et en sortie doivent être différents."));

    frame->frm_tcv->grd_tcv->setCurrentCell(0, 1);
    dialogs.inputs.push_back(std::nullopt);
    frame->frm_tcv->grd_tcvKeyPress(QStringLiteral("\r"));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].title, "Enter...");
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("Ligne: 1 Colonne: 2|"))
        << dialogs.shown[1].text.toStdString();
}

TEST_F(LanguageSwitch, WindowMenuItemsAndWindowCaptionsDifferInFrenchOnly) {
    start();
    EXPECT_EQ(frame->mnu_wge->text(), frame->child_window_of(frame->frm_gen)->windowTitle());
    EXPECT_EQ(frame->Otherconversiondetails1->text(),
              frame->child_window_of(frame->frm_tcv)->windowTitle());

    frame->mnu_FR->trigger();
    EXPECT_EQ(frame->mnu_wge->text(), "Ecran principal");
    EXPECT_EQ(frame->child_window_of(frame->frm_gen)->windowTitle(),
              QString::fromUtf8("Données principales"));
    EXPECT_EQ(frame->Otherconversiondetails1->text(),
              QString::fromUtf8("Détails conversion auxiliaire"));
    EXPECT_EQ(frame->child_window_of(frame->frm_tcv)->windowTitle(),
              "Conversion par tableau auxiliaire");
}

TEST_F(LanguageSwitch, FailedWriteIsReportedWithTheNewLanguageKeptAndEveryChildMinimised) {
    start();
    // The program's folder is a plain file: nothing can be created in it, even by root.
    state.ProgramDir = dir.write("plain", "x") + "/";
    frame->mnu_FR->trigger();
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "glossek");
    EXPECT_EQ(state.LanguageCode, "FR");
    expect_every_caption_in("FR");
    EXPECT_EQ(maximised_count(), 0);
    EXPECT_TRUE(minimised(frame->frm_gen));
    EXPECT_EQ(dir.read("plain"), "x");
    EXPECT_FALSE(file_exists(dir.file("GLK32.LNG")));
}

}  // namespace
}  // namespace glossek
