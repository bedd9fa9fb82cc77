// SPDX-License-Identifier: MIT
#include "gui/dialogs.h"

#include <QFileInfo>

namespace glossek {

FileFilter parse_filter(const QString& filter) {
    const auto bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        return {QString(), filter.trimmed()};
    }
    return {filter.left(bar), filter.mid(bar + 1).trimmed()};
}

std::optional<QString> Dialogs::open_file(const QList<FileFilter>& filters) {
    return remember(ask_open_file(folder_, filters));
}

std::optional<QString> Dialogs::save_file(const FileFilter& filter, const QString& default_suffix) {
    return remember(ask_save_file(folder_, filter, default_suffix));
}

std::optional<QString> Dialogs::open_folder() {
    return remember(ask_folder(folder_));
}

std::optional<QString> Dialogs::remember(std::optional<QString> chosen) {
    if (chosen) {
        folder_ = QFileInfo(*chosen).absolutePath();
    }
    return chosen;
}

}  // namespace glossek
