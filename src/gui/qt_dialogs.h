// SPDX-License-Identifier: MIT
// The dialogs a user sees: Qt message boxes, file dialogs and the input box.
#pragma once

#include <QPointer>
#include <QWidget>

#include "gui/dialogs.h"
#include "gui/help_window.h"

namespace glossek {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    ~QtDialogs() override;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;
    void set_owner(QWidget* owner) { owner_ = owner; }

    void message(const QString& title, const QString& text) override;
    void notice(const QString& title, const QString& text) override;
    void error(const QString& title, const QString& text) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> input_text(const QString& title, const QString& prompt,
                                      const QString& initial, int max_length) override;
    std::optional<std::pair<int, int>> choose_code_pages(const CodePageChoice& choice) override;
    void open_link(const QString& url) override;
    void show_help(const QString& help_file, const QString& topic,
                   const QString& language) override;

    // The help window once a help call has shown it; owned by the owner window.
    HelpWindow* help_window() const { return help_window_; }

protected:
    std::optional<QString> ask_open_file(const QString& folder,
                                         const QList<FileFilter>& filters) override;
    std::optional<QString> ask_save_file(const QString& folder, const FileFilter& filter,
                                         const QString& default_suffix) override;
    std::optional<QString> ask_folder(const QString& folder) override;

private:
    QWidget* owner_;
    QPointer<HelpWindow> help_window_;
};

// The filter in Qt's own form, "description (patterns)", matching without regard to case.
QString qt_filter(const FileFilter& filter);

}  // namespace glossek
