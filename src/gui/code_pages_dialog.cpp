// SPDX-License-Identifier: MIT
#include "gui/code_pages_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace glossek {

namespace {

// The list with the keyboard has a frame in a strong colour and its page selected in it;
// the other list's page shows in a light colour, so that the two are never taken for each
// other.
constexpr auto kListStyle =
    "QListWidget { border: 2px solid palette(mid); selection-background-color: #cfe3f6;"
    " selection-color: black; }"
    " QListWidget:focus { border: 2px solid #1d5fa8; selection-background-color: #1d5fa8;"
    " selection-color: white; }";

QListWidget* page_list(QWidget* parent, const char* name,
                       const QList<std::pair<int, QString>>& pages, int current) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setStyleSheet(QString::fromLatin1(kListStyle));
    for (const auto& [page, title] : pages) {
        auto* item = new QListWidgetItem(title, list);
        item->setData(Qt::UserRole, page);
        if (page == current) {
            list->setCurrentItem(item);
        }
    }
    if (list->currentItem() == nullptr && list->count() > 0) {
        list->setCurrentRow(0);
    }
    return list;
}

int page_of(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item != nullptr ? item->data(Qt::UserRole).toInt() : 0;
}

}  // namespace

CodePagesDialog::CodePagesDialog(const CodePageChoice& choice, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("dlg_cp"));
    setWindowTitle(choice.title);
    dos_list_ = page_list(this, "lst_oem", choice.dos_pages, choice.dos);
    windows_list_ = page_list(this, "lst_ansi", choice.windows_pages, choice.windows);
    auto* dos_label = new QLabel(choice.dos_label, this);
    auto* windows_label = new QLabel(choice.windows_label, this);
    dos_label->setBuddy(dos_list_);
    windows_label->setBuddy(windows_list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double click picks the page and closes the dialog, as in any list of choices.
    connect(dos_list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(windows_list_, &QListWidget::itemActivated, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(dos_label, 0, 0);
    layout->addWidget(windows_label, 0, 1);
    layout->addWidget(dos_list_, 1, 0);
    layout->addWidget(windows_list_, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    resize(620, 420);
    dos_list_->setFocus();
}

std::pair<int, int> CodePagesDialog::chosen() const {
    return {page_of(dos_list_), page_of(windows_list_)};
}

}  // namespace glossek
