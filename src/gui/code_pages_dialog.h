// SPDX-License-Identifier: MIT
// Options, Code pages: the DOS page and the Windows page, each picked from the list of the
// pages the program carries.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <utility>

#include "gui/dialogs.h"

namespace glossek {

class CodePagesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CodePagesDialog(const CodePageChoice& choice, QWidget* owner = nullptr);

    // The pages selected: the DOS one, the Windows one.
    std::pair<int, int> chosen() const;

private:
    QListWidget* dos_list_;
    QListWidget* windows_list_;
};

}  // namespace glossek
