// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "gui/qt_dialogs.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

// The addresses the program opens until a link file replaces them.
const std::string kAuthor = "https://www.example.org/author/";
const std::string kProgram = "https://www.example.org/glossek/";
const std::string kMail = "mailto:author@example.org";

using HelpMenu = test::WindowFixture;

const QString kHelpFile = QStringLiteral(GLOSSEK_HELP_FILE);

TEST_F(HelpMenu, HelpCallsUseTheFileBesideTheProgramAndTheTopicOfTheLanguage) {
    start();
    const QString help_file = name("GLK32.HLP");
    trigger("mnu_hin");
    find<QAbstractButton>("cmd_hlp")->click();
    trigger("mnu_FR");
    trigger("mnu_hin");
    find<QAbstractButton>("cmd_hlp")->click();
    EXPECT_EQ(dialogs.texts("help"),
              (std::vector<QString>{"Sommaire", "_TabUS", "Sommaire", "_TabFR"}));
    EXPECT_EQ(dialogs.help_languages, (std::vector<QString>{"US", "US", "FR", "FR"}));
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.title, help_file);
    }
}

TEST_F(HelpMenu, AboutIsANoticeInTheLanguageInForce) {
    start();
    trigger("mnu_hab");
    trigger("mnu_FR");
    trigger("mnu_hab");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, "notice");
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text, "Version " + test::version() + " for");
    EXPECT_EQ(dialogs.shown[1].kind, "notice");
    EXPECT_EQ(dialogs.shown[1].text, "Version " + test::version() + " pour");
}

TEST_F(HelpMenu, EachLinkOpensAfterTheNotice) {
    start();
    trigger("mnu_hauth");
    trigger("mnu_hglkh");
    trigger("mnu_hmail");
    const std::string links[] = {kAuthor, kProgram, kMail};
    ASSERT_EQ(dialogs.shown.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(dialogs.shown[2 * i].kind, "notice");
        EXPECT_EQ(dialogs.shown[2 * i].title, "Glossek");
        EXPECT_EQ(dialogs.shown[2 * i].text,
                  "If any connection problem, see the help file or the program web site.");
        EXPECT_EQ(dialogs.shown[2 * i + 1].kind, "link");
        EXPECT_EQ(dialogs.shown[2 * i + 1].text, QString::fromStdString(links[i]));
    }

    dialogs.shown.clear();
    trigger("mnu_FR");
    trigger("mnu_hmail");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromUtf8("En cas de problème de connexion, voir le ficher d'aide ou le "
                                "site du programme."));
}

TEST_F(HelpMenu, LinkFileIsReadAtStartAndItsLinksOpened) {
    dir.write("GLK32.CFG", "MAILmailto:me@example.net\r\nGLKHhttps://caf\xC3\xA9.example/\r\n");
    start();
    trigger("mnu_hmail");
    trigger("mnu_hglkh");
    trigger("mnu_hauth");
    EXPECT_EQ(
        dialogs.texts("link"),
        (std::vector<QString>{"mailto:me@example.net", QString::fromUtf8("https://café.example/"),
                              QString::fromStdString(kAuthor)}));
}

TEST_F(HelpMenu, UnreadableLinkFileIsReportedAndTheStartGoesOn) {
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("GLK32.CFG").c_str()), 0);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_EQ(action("mnu_hab")->text(), "&About");
    trigger("mnu_hauth");
    EXPECT_EQ(dialogs.texts("link"), std::vector<QString>{QString::fromStdString(kAuthor)});
}

// The real help window, on the program's own help file.
struct HelpWindowTest : ::testing::Test {
    QWidget owner;
    QtDialogs dialogs{&owner};

    HelpWindow* window() const { return owner.findChild<HelpWindow*>("help_window"); }
    QTextBrowser* browser() const { return owner.findChild<QTextBrowser*>("help_browser"); }
    QToolButton* button(const char* name) const {
        return owner.findChild<QToolButton*>(QString::fromLatin1(name));
    }
    int scrolled() const { return browser()->verticalScrollBar()->value(); }
    void show(const char* topic, const char* language = "US") {
        dialogs.show_help(kHelpFile, QString::fromLatin1(topic), QString::fromLatin1(language));
        QApplication::processEvents();
    }
};

TEST_F(HelpWindowTest, OpensAtTheContentsOfTheLanguageThenAtTheTopic) {
    owner.show();
    show("Sommaire");
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->windowTitle(), "Glossek " + test::version() + " - Help / Aide");
    EXPECT_EQ(browser()->source().fragment(), "English");
    const int english_contents = scrolled();

    show("_TabFR");
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);  // one window, reused
    EXPECT_EQ(browser()->source().fragment(), "_TabFR");
    const int french_table = scrolled();
    EXPECT_GT(french_table, english_contents);
    show("_TabUS");
    EXPECT_GT(scrolled(), english_contents);
    EXPECT_LT(scrolled(), french_table);

    // F1 in French opens the French contents.
    show("Sommaire", "FR");
    EXPECT_EQ(browser()->source().fragment(), "Francais");
    EXPECT_GT(scrolled(), english_contents);
    EXPECT_EQ(button("help_contents")->text(), "Sommaire");

    // A topic the file lacks leaves the contents page in view.
    show("NoSuchTopic");
    EXPECT_EQ(scrolled(), 0);
}

// Back and Forward are there only where there is somewhere to go, and never lead from the
// pages of one language into those of the other.
TEST_F(HelpWindowTest, BackForwardAndContentsMoveThroughWhatWasRead) {
    owner.show();
    const auto enabled = [this] {
        return std::pair(button("help_back")->isEnabled(), button("help_forward")->isEnabled());
    };
    show("_TabUS");
    EXPECT_EQ(button("help_back")->text(), "Back");
    EXPECT_EQ(enabled(), std::pair(false, false));
    button("help_contents")->click();
    QApplication::processEvents();
    EXPECT_EQ(browser()->source().fragment(), "English");
    EXPECT_EQ(enabled(), std::pair(true, false));
    button("help_contents")->click();  // already there: nowhere new to go back from
    button("help_back")->click();
    QApplication::processEvents();
    EXPECT_EQ(browser()->source().fragment(), "_TabUS");
    EXPECT_EQ(enabled(), std::pair(false, true));
    button("help_forward")->click();
    QApplication::processEvents();
    EXPECT_EQ(browser()->source().fragment(), "English");

    show("Sommaire", "FR");
    EXPECT_EQ(browser()->source().fragment(), "Francais");
    EXPECT_EQ(enabled(), std::pair(false, false));
    show("_TabFR", "FR");
    button("help_back")->click();
    QApplication::processEvents();
    EXPECT_EQ(browser()->source().fragment(), "Francais");
    EXPECT_FALSE(button("help_back")->isEnabled());
}

TEST_F(HelpWindowTest, EscapeClosesItAndItFitsOnTheScreen) {
    owner.setGeometry(100, 100, 695, 480);
    owner.show();
    show("Sommaire");
    const QRect room = window()->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(window()->frameGeometry())) << room.width() << "x" << room.height();
    QApplication::setActiveWindow(window());
    browser()->setFocus();
    QTest::keyClick(browser(), Qt::Key_Escape);
    EXPECT_FALSE(window()->isVisible());
}

TEST_F(HelpWindowTest, MissingHelpFileShowsNothing) {
    test::TempDir dir;
    dialogs.show_help(QString::fromStdString(dir.file("GLK32.HLP")), QStringLiteral("Sommaire"),
                      QStringLiteral("US"));
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpFile, HasEveryTopicAndNoBrokenLinkBetweenTopics) {
    QFile file(kHelpFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> anchors;
    for (const auto& match : QRegularExpression(R"re(<a name="([^"]+)")re").globalMatch(html)) {
        anchors.insert(match.captured(1));
    }
    for (const char* topic : {"Sommaire", "_TabUS", "_TabFR"}) {
        EXPECT_TRUE(anchors.contains(QString::fromLatin1(topic))) << topic;
    }
    for (const auto& match : QRegularExpression(R"re(href="#([^"]+)")re").globalMatch(html)) {
        EXPECT_TRUE(anchors.contains(match.captured(1))) << match.captured(1).toStdString();
    }
    // The help says what the program does: sides are read back whole, at any length.
    EXPECT_FALSE(html.contains(QStringLiteral("36 characters")));
    EXPECT_FALSE(html.contains(QStringLiteral("36 caract")));
    // Each table topic is written in its own language.
    const auto english = html.indexOf(QStringLiteral("name=\"_TabUS\""));
    const auto french = html.indexOf(QStringLiteral("name=\"_TabFR\""));
    EXPECT_TRUE(html.indexOf(QStringLiteral("Save file as"), english) < french);
    EXPECT_GT(html.indexOf(QStringLiteral("Enregistrer sous..."), french), french);
}

TEST(Notice, IsAnOkBoxWithoutIcon) {
    QtDialogs dialogs;
    QMessageBox::Icon icon = QMessageBox::Information;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        text = box->text();
        box->accept();
    });
    dialogs.notice(QStringLiteral("Glossek"), QStringLiteral("Version 3.12 for"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(text, "Version 3.12 for");
}

}  // namespace
}  // namespace glossek
