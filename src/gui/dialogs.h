// SPDX-License-Identifier: MIT
// Every modal interaction of the windows goes through this seam, so that tests can answer
// in advance what a user would.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace glossek {

// One file-type filter: what the user reads and the pattern that selects the files.
struct FileFilter {
    QString description;
    QString pattern;
};

// What the code-page dialog offers: its texts, the pages with their titles and the pair in
// force, which starts selected.
struct CodePageChoice {
    QString title;
    QString dos_label;
    QString windows_label;
    QList<std::pair<int, QString>> dos_pages;
    QList<std::pair<int, QString>> windows_pages;
    int dos = 0;
    int windows = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An OK box with an information icon.
    virtual void message(const QString& title, const QString& text) = 0;
    // An OK box without an icon.
    virtual void notice(const QString& title, const QString& text) = 0;
    // An OK box with an error icon: the end of a command that failed.
    virtual void error(const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& title, const QString& text) = 0;
    // The chosen file, or nothing when the user cancels. The first filter is the one in
    // force. The dialogs open in the start folder, then in the folder of the file last chosen
    // in any of them.
    std::optional<QString> open_file(const QList<FileFilter>& filters);
    std::optional<QString> save_file(const FileFilter& filter, const QString& default_suffix);
    // A folder, chosen where the file dialogs open; the next dialogs open beside it.
    std::optional<QString> open_folder();
    void set_start_folder(const QString& folder) { folder_ = folder; }
    // A line of text, or nothing when the user cancels.
    virtual std::optional<QString> input_text(const QString& title, const QString& prompt,
                                              const QString& initial, int max_length) = 0;
    // The DOS page and the Windows page chosen, or nothing when the user cancels.
    virtual std::optional<std::pair<int, int>> choose_code_pages(const CodePageChoice& choice) = 0;
    // Hands the link to the desktop's default program; whether one opens is not looked at.
    virtual void open_link(const QString& url) = 0;
    // The help file at its contents page, then at the topic; the contents page is the one of
    // the language ("US" or "FR"). A help file that cannot be shown shows nothing.
    virtual void show_help(const QString& help_file, const QString& topic,
                           const QString& language) = 0;

protected:
    // The file dialogs themselves, opening in `folder`.
    virtual std::optional<QString> ask_open_file(const QString& folder,
                                                 const QList<FileFilter>& filters) = 0;
    virtual std::optional<QString> ask_save_file(const QString& folder, const FileFilter& filter,
                                                 const QString& default_suffix) = 0;
    // Answers nothing unless the seam has a folder dialog of its own.
    virtual std::optional<QString> ask_folder(const QString& /*folder*/) { return std::nullopt; }

private:
    std::optional<QString> remember(std::optional<QString> chosen);

    QString folder_;
};

// A filter written as "description|pattern" in the program's own notation.
FileFilter parse_filter(const QString& filter);

}  // namespace glossek
