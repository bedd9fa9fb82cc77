// SPDX-License-Identifier: MIT
#include "gui/viewers.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

#include "gui/qt_text.h"

namespace glossek {

TextViewer::TextViewer(const char* memo_name, const char* page_name, bool wrap, QMargins margins,
                       QWidget* parent)
    : QWidget(parent), memo_(new QPlainTextEdit(this)), page_label_(new QLabel(this)) {
    memo_->setObjectName(QString::fromLatin1(memo_name));
    page_label_->setObjectName(QString::fromLatin1(page_name));
    memo_->setReadOnly(true);
    memo_->setUndoRedoEnabled(false);
    memo_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Read-only, but the keyboard still moves and selects in it.
    memo_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    memo_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margins.left(), margins.top(), margins.right(), 4);
    layout->setSpacing(4);
    layout->addWidget(memo_);
    layout->addWidget(page_label_);
    page_label_->setMinimumHeight(margins.bottom() - 8);
    page_label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusProxy(memo_);
    setMinimumSize(margins.left() + margins.right() + 160, margins.top() + margins.bottom() + 80);
}

void TextViewer::clear() {
    memo_->clear();
    lines_.clear();
    page_label_->clear();
    filled_ = false;
}

void TextViewer::add_lines(std::vector<std::string> lines, const ViewerPage& page) {
    if (lines_.empty()) {
        lines_ = std::move(lines);
    } else {
        lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
    }
    page_ = page;
    filled_ = true;
    show_text();
}

void TextViewer::show_page(const ViewerPage& page) {
    if (filled_) {
        page_ = page;
        show_text();
    }
}

void TextViewer::show_text() {
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines_.size()));
    for (const std::string& line : lines_) {
        text.append(from_page(line, page_.side, page_.pages));
    }
    // The whole text at once: far cheaper than line by line.
    memo_->setPlainText(text.join(QLatin1Char('\n')));
    page_label_->setText(page_.name);
    // A viewer opens at its first line and column, whatever was added last.
    memo_->moveCursor(QTextCursor::Start);
    memo_->verticalScrollBar()->setValue(0);
    memo_->horizontalScrollBar()->setValue(0);
}

InputViewer::InputViewer(QWidget* parent)
    : TextViewer("mem_wvi", "lbl_wvi", false, QMargins(32, 16, 39, 28), parent) {
    setObjectName(QStringLiteral("frm_wvi"));
}

ResultViewer::ResultViewer(QWidget* parent)
    : TextViewer("mem_wre", "lbl_wre", true, QMargins(32, 24, 31, 36), parent) {
    setObjectName(QStringLiteral("frm_wre"));
}

}  // namespace glossek
