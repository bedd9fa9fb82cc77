// SPDX-License-Identifier: MIT
#include "gui/reading_line.h"

#include <sys/stat.h>

#include <QFont>

#include "gui/qt_text.h"
#include "lang/readings.h"

namespace glossek {

ReadingLine::ReadingLine(FormPage& page, WindowServices& services)
    : QObject(&page),
      services_(services),
      label_(page.place<QLabel>("lbl_reads", {160, 54, 457, 17})),
      button_(page.place<QPushButton>("cmd_pages", {160, 100, 330, 25})) {
    QFont font = label_->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label_->setFont(font);
    label_->setTextFormat(Qt::PlainText);
    button_->hide();
    connect(button_, &QPushButton::clicked, this, [this] {
        if (suggestion_ != 0) {
            const CodePagePair& pages = services_.state().pages;
            services_.put_pages_in_force(suggested_pair(suggestion_, pages));
        }
    });
}

std::optional<FileReading> ReadingLine::identify(const std::string& name) {
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        clear();
        return std::nullopt;
    }
    const long long time = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    if (!counted_ || name != name_ || st.st_size != size_ || time != time_ || st.st_ino != inode_) {
        // One pass, as --info makes it; the counts stay for another pair or language.
        try {
            counted_ = count_file(name);
        } catch (const std::exception&) {
            clear();  // Go says why, if it comes to that
            return std::nullopt;
        }
        name_ = name;
        size_ = st.st_size;
        time_ = time;
        inode_ = st.st_ino;
    }
    const FileReading reading = counted_->finish(services_.state().pages);
    show(reading);
    return reading;
}

void ReadingLine::show_again() {
    if (counted_) {
        show(counted_->finish(services_.state().pages));
    }
}

void ReadingLine::clear() {
    counted_.reset();
    name_.clear();
    suggestion_ = 0;
    label_->clear();
    label_->setToolTip(QString());
    button_->hide();
}

void ReadingLine::resize(int width) {
    label_->resize(width, label_->height());
}

void ReadingLine::show(const FileReading& reading) {
    const AppState& state = services_.state();
    const QString text = from_cp1252(reading_text(reading, state.pages, state.texts));
    label_->setText(text);
    label_->setToolTip(text);  // whole, where the line is too short for it
    suggestion_ = reading.suggestion;
    if (suggestion_ != 0) {
        const PageNumbers pair = suggested_pair(suggestion_, state.pages);
        QString caption = from_cp1252(state.texts.lng_use_pages);
        caption.replace(QStringLiteral("%o"), QString::number(pair.oem));
        caption.replace(QStringLiteral("%w"), QString::number(pair.ansi));
        button_->setText(caption);
    }
    button_->setVisible(suggestion_ != 0);
}

}  // namespace glossek
