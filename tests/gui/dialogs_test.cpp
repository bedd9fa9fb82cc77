// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "gui/code_pages_dialog.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_text.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

TEST(FileFilters, ProgramNotationBecomesQtNotation) {
    EXPECT_EQ(qt_filter(parse_filter(" (*.txt)|*.TXT")), "(*.TXT)");
    EXPECT_EQ(qt_filter(parse_filter("Glossek conversion (*.glk) | *.GLK")),
              "Glossek conversion (*.GLK)");
    EXPECT_EQ(qt_filter(parse_filter("GLK conversion (*. glk)|*.glk")), "GLK conversion (*.glk)");
}

// The files the open dialog lists, read from its own model while it is shown.
QStringList listed_files(const QString& folder, const QString& filter) {
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QModelIndex root = model->index(folder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) > 0; }, 5000));
        QTest::qWait(200);  // let the model apply its filters to every entry
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex index = model->index(row, 0, root);
            if (model->flags(index) & Qt::ItemIsEnabled) {
                listed << model->fileName(index);
            }
        }
        dialog->reject();
    });
    QtDialogs dialogs;
    dialogs.set_start_folder(folder);
    EXPECT_FALSE(dialogs.open_file({parse_filter(filter)}).has_value());
    return listed;
}

TEST(FileFilters, PatternsMatchWithoutRegardToCase) {
    test::TempDir dir;
    dir.write("letter.txt", "");
    dir.write("NOTES.TXT", "");
    dir.write("table.glk", "");
    QStringList listed = listed_files(QString::fromStdString(dir.path()), " (*.txt)|*.TXT");
    EXPECT_TRUE(listed.contains("letter.txt")) << listed.join(",").toStdString();
    EXPECT_TRUE(listed.contains("NOTES.TXT"));
    EXPECT_FALSE(listed.contains("table.glk"));
}

// The file dialog writes sizes and dates in the language in force, and at its first size
// every column shows whole.
TEST(FileDialog, SizesAndDatesInTheLanguageAndNoColumnCut) {
    test::TempDir dir;
    dir.write("a-table-with-a-rather-long-name.glk", std::string(2000, 'x'));
    const QString folder = QString::fromStdString(dir.path());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QStringList shown;
    bool whole = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* details = dialog->findChild<QTreeView*>("treeView");
        ASSERT_NE(details, nullptr);
        QAbstractItemModel* model = details->model();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(details->rootIndex()) > 0; }));
        QTest::qWait(200);
        for (int column = 0; column < 4; ++column) {
            shown << model->index(0, column, details->rootIndex()).data().toString();
        }
        whole = true;
        for (int column = 1; column < 4; ++column) {
            whole = whole && details->header()->sectionSize(column) >
                                 details->fontMetrics().horizontalAdvance(shown[column]);
        }
        whole = whole && details->header()->length() <= details->viewport()->width();
        dialog->reject();
    });
    QtDialogs dialogs;
    dialogs.set_start_folder(folder);
    dialogs.open_file({parse_filter(QStringLiteral("Tables|*.glk"))});
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[1], QString::fromUtf8("1,95 Kio"));
    EXPECT_EQ(shown[3], QLocale(QLocale::French, QLocale::France)
                            .toString(QFileInfo(folder + "/" + shown[0]).lastModified(),
                                      QLocale::ShortFormat));
    EXPECT_TRUE(whole);
}

TEST(CodePagesDialogTest, ListsThePagesWithThePairInForceSelected) {
    CodePageChoice choice;
    choice.title = "Code pages";
    choice.dos_label = "DOS code page:";
    choice.windows_label = "Windows code page:";
    choice.dos_pages = {{437, "437 United States (DOS)"}, {850, "850 Western European (DOS)"}};
    choice.windows_pages = {{1251, "1251 Cyrillic (Windows)"}, {1252, "1252 Western (Windows)"}};
    choice.dos = 850;
    choice.windows = 1252;
    CodePagesDialog dialog(choice);
    auto* dos = dialog.findChild<QListWidget*>("lst_oem");
    auto* windows = dialog.findChild<QListWidget*>("lst_ansi");
    ASSERT_NE(dos, nullptr);
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Code pages");
    EXPECT_EQ(dos->count(), 2);
    EXPECT_EQ(dos->currentItem()->text(), "850 Western European (DOS)");
    EXPECT_EQ(dialog.chosen(), std::pair(850, 1252));
    windows->setCurrentRow(0);
    EXPECT_EQ(dialog.chosen(), std::pair(850, 1251));
}

// The list with the keyboard looks it: its frame differs from the other list's.
TEST(CodePagesDialogTest, TheListWithTheKeyboardShowsIt) {
    CodePageChoice choice;
    choice.dos_pages = {{850, "850 Western European (DOS)"}};
    choice.windows_pages = {{1252, "1252 Western European (Windows)"}};
    CodePagesDialog dialog(choice);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* dos = dialog.findChild<QListWidget*>("lst_oem");
    auto* windows = dialog.findChild<QListWidget*>("lst_ansi");
    const auto edge = [](QListWidget* list) {
        return list->grab().toImage().pixel(0, list->height() / 2);
    };
    for (QListWidget* focused : {dos, windows}) {
        focused->setFocus();
        QApplication::processEvents();
        QListWidget* other = focused == dos ? windows : dos;
        EXPECT_NE(edge(focused), edge(other)) << focused->objectName().toStdString();
    }
}

TEST(QtText, BytesOfTheAnsiPageAndBack) {
    const CodePagePair pages = code_page_pair(866, 1251);
    EXPECT_EQ(from_ansi_page("\xC0\x1A", pages), QString::fromUtf8("\u0410\u241A"));
    EXPECT_EQ(to_ansi_page(QString::fromUtf8("\u0410z\u00E9"), pages), "\xC0z");
    EXPECT_EQ(from_cp1252("\xE9\x80"), QString::fromUtf8("é€"));
    EXPECT_EQ(joined("a", "b"), "a\n\rb");
}

}  // namespace
}  // namespace glossek
