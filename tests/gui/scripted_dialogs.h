// SPDX-License-Identifier: MIT
// The dialog seam answered in advance, recording everything the program showed.
#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <vector>

#include "gui/dialogs.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace glossek::test {

struct Shown {
    // "message", "notice", "error", "question", "open", "save", "folder", "input", "link",
    // "help"
    QString kind;
    QString title;  // the box's title, or the help file
    QString text;   // the message, link or help topic, or a file dialog's folder and filter
};

class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> files;   // answers of open, save and folder dialogs
    std::deque<bool> answers;                   // answers of Yes/No questions
    std::deque<std::optional<QString>> inputs;  // answers of the input box
    std::vector<Shown> shown;

    void message(const QString& title, const QString& text) override {
        shown.push_back({"message", title, text});
    }
    void notice(const QString& title, const QString& text) override {
        shown.push_back({"notice", title, text});
    }
    void error(const QString& title, const QString& text) override {
        shown.push_back({"error", title, text});
    }
    bool question(const QString& title, const QString& text) override {
        shown.push_back({"question", title, text});
        return take(answers, false);
    }
    std::optional<QString> input_text(const QString& title, const QString& prompt,
                                      const QString& initial, int max_length) override {
        shown.push_back(
            {"input", title, prompt + "|" + initial + "|" + QString::number(max_length)});
        return take(inputs, std::optional<QString>());
    }
    // The lists offered, "number title" each, joined by "|", and the pair in force.
    std::optional<std::pair<int, int>> choose_code_pages(const CodePageChoice& choice) override {
        QStringList dos;
        QStringList windows;
        for (const auto& [page, title] : choice.dos_pages) {
            dos << title;
        }
        for (const auto& [page, title] : choice.windows_pages) {
            windows << title;
        }
        shown.push_back({"code pages", choice.title,
                         choice.dos_label + "|" + choice.windows_label + "|" +
                             QString::number(choice.dos) + " " + QString::number(choice.windows)});
        offered_dos = dos;
        offered_windows = windows;
        return take(code_pages, std::optional<std::pair<int, int>>());
    }
    std::deque<std::optional<std::pair<int, int>>> code_pages;  // answers of the code-page dialog
    QStringList offered_dos;
    QStringList offered_windows;
    void open_link(const QString& url) override { shown.push_back({"link", QString(), url}); }
    void show_help(const QString& help_file, const QString& topic,
                   const QString& language) override {
        shown.push_back({"help", help_file, topic});
        help_languages.push_back(language);
    }
    std::vector<QString> help_languages;

    // The texts of what was shown, of one kind or of every kind.
    std::vector<QString> texts(const QString& kind = QString()) const {
        std::vector<QString> result;
        for (const Shown& s : shown) {
            if (kind.isEmpty() || s.kind == kind) {
                result.push_back(s.text);
            }
        }
        return result;
    }

protected:
    // The filters of an open dialog, one "description|pattern" each, joined by "||".
    std::optional<QString> ask_open_file(const QString& folder,
                                         const QList<FileFilter>& filters) override {
        QStringList texts;
        for (const FileFilter& filter : filters) {
            texts << filter.description + "|" + filter.pattern;
        }
        shown.push_back({"open", folder, texts.join("||")});
        return take(files, std::optional<QString>());
    }
    std::optional<QString> ask_save_file(const QString& folder, const FileFilter& filter,
                                         const QString& suffix) override {
        shown.push_back({"save", folder, filter.description + "|" + filter.pattern + "|" + suffix});
        return take(files, std::optional<QString>());
    }

    std::optional<QString> ask_folder(const QString& folder) override {
        shown.push_back({"folder", folder, QString()});
        return take(files, std::optional<QString>());
    }

private:
    template <typename T>
    static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace glossek::test
