// The dialogs a user sees: Qt message boxes, file dialogs and the input box.
#pragma once

#include <QWidget>

#include "app/dialogs.h"

namespace glossek {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void set_owner(QWidget* owner) { owner_ = owner; }

    void message(const QString& title, const QString& text) override;
    void error(const QString& title, const QString& text) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> open_file(const QString& folder, const FileFilter& filter) override;
    std::optional<QString> save_file(const QString& folder, const FileFilter& filter,
                                     const QString& default_suffix) override;
    std::optional<QString> input_text(const QString& title, const QString& prompt,
                                      const QString& initial, int max_length) override;
    void open_link(const QString& url) override;
    void show_help(const QString& topic) override;

private:
    QWidget* owner_;
};

// The filter in Qt's own form, "description (patterns)", matching without regard to case.
QString qt_filter(const FileFilter& filter);

}  // namespace glossek
