// SPDX-License-Identifier: MIT
#include "gui/qt_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>

#include "gui/code_pages_dialog.h"

namespace glossek {

namespace {

// Messages join their parts with LF CR; a label shows the LF and would draw the CR.
QString shown(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    result.remove(QLatin1Char('\r'));
    return result;
}

// The file dialog's sizes and dates as the program's language writes them: Qt's own model
// writes them in the system's.
class LanguageFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr ||
            (index.column() != kSizeColumn && index.column() != kDateColumn)) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex file = mapToSource(index);
        if (index.column() == kDateColumn) {
            return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        }
        return files->isDir(file) ? QString() : QLocale().formattedDataSize(files->size(file));
    }

private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

// At its first size every column shows whole: the sizes, kinds and dates take what they
// need and the names the rest, in a dialog as wide as the screen allows.
void fit_columns(QFileDialog& dialog) {
    if (const QScreen* screen = dialog.screen()) {
        dialog.resize(
            QSize(820, 500).boundedTo(screen->availableGeometry().size() - QSize(40, 60)));
    }
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (auto* places = dialog.findChild<QSplitter*>(QStringLiteral("splitter"))) {
        places->setSizes({160, dialog.width() - 160});
    }
}

std::optional<QString> run_file_dialog(QFileDialog& dialog) {
    // Qt's own dialog everywhere: its name filters ignore case, as users of these files expect.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new LanguageFileColumns(&dialog));
    fit_columns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace

QString qt_filter(const FileFilter& filter) {
    // The description may show a pattern of its own in parentheses; Qt would read the last
    // parentheses as the patterns, so only the real pattern is kept there.
    QString description = filter.description;
    const auto open = description.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && description.trimmed().endsWith(QLatin1Char(')'))) {
        description = description.left(open);
    }
    description = description.trimmed();
    QString patterns = filter.pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return description.isEmpty() ? QStringLiteral("(%1)").arg(patterns)
                                 : QStringLiteral("%1 (%2)").arg(description, patterns);
}

QtDialogs::~QtDialogs() {
    // A window with an owner goes with it; one without is this object's own.
    if (help_window_ != nullptr && help_window_->parent() == nullptr) {
        delete help_window_;
    }
}

void QtDialogs::message(const QString& title, const QString& text) {
    QMessageBox::information(owner_, title, shown(text));
}

void QtDialogs::notice(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, shown(text), QMessageBox::Ok, owner_);
    box.exec();
}

void QtDialogs::error(const QString& title, const QString& text) {
    QMessageBox::critical(owner_, title, shown(text));
}

bool QtDialogs::question(const QString& title, const QString& text) {
    return QMessageBox::question(owner_, title, shown(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::ask_open_file(const QString& folder,
                                                const QList<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& filter : filters) {
        names.append(qt_filter(filter));
    }
    QFileDialog dialog(owner_, QString(), folder);
    dialog.setNameFilters(names);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return run_file_dialog(dialog);
}

std::optional<QString> QtDialogs::ask_save_file(const QString& folder, const FileFilter& filter,
                                                const QString& default_suffix) {
    QFileDialog dialog(owner_, QString(), folder, qt_filter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(default_suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    return run_file_dialog(dialog);
}

std::optional<QString> QtDialogs::ask_folder(const QString& folder) {
    QFileDialog dialog(owner_, QString(), folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return run_file_dialog(dialog);
}

std::optional<QString> QtDialogs::input_text(const QString& title, const QString& prompt,
                                             const QString& initial, int max_length) {
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(max_length);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<std::pair<int, int>> QtDialogs::choose_code_pages(const CodePageChoice& choice) {
    CodePagesDialog dialog(choice, owner_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}

void QtDialogs::open_link(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

void QtDialogs::show_help(const QString& help_file, const QString& topic, const QString& language) {
    // Without a readable file no window appears, and the program says nothing about it.
    if (!QFileInfo(help_file).isFile()) {
        return;
    }
    if (help_window_ == nullptr) {
        help_window_ = new HelpWindow(owner_);
    }
    help_window_->show_topic(help_file, topic, language);
}

}  // namespace glossek
