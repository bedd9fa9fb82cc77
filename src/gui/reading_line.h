// SPDX-License-Identifier: MIT
// The line under General data's input box that says what the input reads as, and the button
// that puts in force a pair that reads it better.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <optional>
#include <string>

#include "gui/form_page.h"
#include "gui/window_services.h"
#include "pages/identify.h"

namespace glossek {

class ReadingLine : public QObject {
    Q_OBJECT
public:
    // The label (lbl_reads) and the button (cmd_pages) at their places on the page.
    ReadingLine(FormPage& page, WindowServices& services);

    // What the file reads as under the pair in force, shown on the line; nothing (the line
    // emptied) when it cannot be read. A file read before and unchanged since is not read
    // again.
    std::optional<FileReading> identify(const std::string& name);
    // The line again, in the language and under the pair in force.
    void show_again();
    void clear();
    // Follows the input box's width.
    void resize(int width);

    QLabel* label() const { return label_; }
    QPushButton* button() const { return button_; }

private:
    void show(const FileReading& reading);

    WindowServices& services_;
    QLabel* label_;
    QPushButton* button_;
    // The file last read, by its name and state, and what one pass over it counted.
    std::string name_;
    long long size_ = -1;
    long long time_ = 0;
    unsigned long long inode_ = 0;
    std::optional<Identifier> counted_;
    int suggestion_ = 0;
};

}  // namespace glossek
