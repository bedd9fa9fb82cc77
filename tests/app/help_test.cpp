#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTimer>

#include "app/qt_dialogs.h"
#include "support/window_fixture.h"

namespace glossek {
namespace {

using test::WindowFixture;
using HelpMenu = WindowFixture;

const QString kHelpFile = QStringLiteral(GLOSSEK_HELP_FILE);

TEST_F(HelpMenu, HelpCallsUseTheFileBesideTheProgramAndTheTopicOfTheLanguage) {
    start();
    const QString help_file = name("GLK32.HLP");
    EXPECT_TRUE(frame->help_file.isEmpty());
    frame->mnu_hin->trigger();
    frame->frm_tcv->cmd_hlp->click();
    frame->mnu_FR->trigger();
    frame->mnu_hin->trigger();
    frame->frm_tcv->cmd_hlp->click();
    EXPECT_EQ(dialogs.texts("help"),
              (std::vector<QString>{"Sommaire", "_TabUS", "Sommaire", "_TabFR"}));
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.title, help_file);
    }
    EXPECT_EQ(frame->help_file, help_file);
}

TEST_F(HelpMenu, AboutIsANoticeInTheLanguageInForce) {
    start();
    frame->mnu_hab->trigger();
    frame->mnu_FR->trigger();
    frame->mnu_hab->trigger();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, "notice");
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text, "Version 3.12 for");
    EXPECT_EQ(dialogs.shown[1].kind, "notice");
    EXPECT_EQ(dialogs.shown[1].text, "Version 3.12 pour");
}

TEST_F(HelpMenu, EachLinkOpensAfterTheNotice) {
    start();
    frame->mnu_hauth->trigger();
    frame->mnu_hglkh->trigger();
    frame->mnu_hmail->trigger();
    const Links defaults = default_links();
    const std::string links[] = {defaults.auth, defaults.glkh, defaults.mail};
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
    frame->mnu_FR->trigger();
    frame->mnu_hmail->trigger();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromUtf8("En cas de problème de connexion, voir le ficher d'aide ou le "
                                "site du programme."));
}

TEST_F(HelpMenu, LinkFileIsReadAtStartAndItsLinksOpened) {
    dir.write("GLK32.CFG", "MAILmailto:me@example.net\r\nGLKHhttps://caf\xC3\xA9.example/\r\n");
    start();
    frame->mnu_hmail->trigger();
    frame->mnu_hglkh->trigger();
    frame->mnu_hauth->trigger();
    EXPECT_EQ(
        dialogs.texts("link"),
        (std::vector<QString>{"mailto:me@example.net", QString::fromUtf8("https://café.example/"),
                              QString::fromStdString(default_links().auth)}));
}

TEST_F(HelpMenu, UnreadableLinkFileIsReportedAndTheStartGoesOn) {
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("GLK32.CFG").c_str()), 0);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_TRUE(maximised(frame->frm_gen));
    EXPECT_EQ(frame->mnu_hab->text(), "&About");
    frame->mnu_hauth->trigger();
    EXPECT_EQ(dialogs.texts("link"),
              std::vector<QString>{QString::fromStdString(default_links().auth)});
}

// The real help window, on the program's own help file.
struct HelpWindowTest : ::testing::Test {
    QWidget owner;
    QtDialogs dialogs{&owner};
    int scrolled() const { return dialogs.help_window()->browser()->verticalScrollBar()->value(); }
};

TEST_F(HelpWindowTest, OpensAtTheContentsThenAtTheTopic) {
    owner.show();
    dialogs.show_help(kHelpFile, QStringLiteral("Sommaire"));
    ASSERT_NE(dialogs.help_window(), nullptr);
    HelpWindow& window = *dialogs.help_window();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.parentWidget(), &owner);
    EXPECT_EQ(window.windowTitle(), "Glossek 3.12 - Help / Aide");
    QApplication::processEvents();
    EXPECT_LT(scrolled(), 10);  // the contents topic starts the file, within its margin
    EXPECT_TRUE(window.browser()->toPlainText().contains("Contents"));

    dialogs.show_help(kHelpFile, QStringLiteral("_TabFR"));
    QApplication::processEvents();
    EXPECT_EQ(dialogs.help_window(), &window);  // one window, reused
    EXPECT_EQ(window.browser()->source().fragment(), "_TabFR");
    const int french_table = scrolled();
    EXPECT_GT(french_table, 0);
    dialogs.show_help(kHelpFile, QStringLiteral("_TabUS"));
    QApplication::processEvents();
    EXPECT_GT(scrolled(), 0);
    EXPECT_LT(scrolled(), french_table);

    // A topic the file lacks leaves the contents page in view.
    dialogs.show_help(kHelpFile, QStringLiteral("NoSuchTopic"));
    QApplication::processEvents();
    EXPECT_EQ(scrolled(), 0);
}

TEST_F(HelpWindowTest, MissingHelpFileShowsNothing) {
    test::TempDir dir;
    dialogs.show_help(QString::fromStdString(dir.file("GLK32.HLP")), QStringLiteral("Sommaire"));
    EXPECT_EQ(dialogs.help_window(), nullptr);
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
