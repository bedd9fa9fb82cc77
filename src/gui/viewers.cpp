// SPDX-License-Identifier: MIT
#include "gui/viewers.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QVBoxLayout>

namespace glossek {

TextViewer::TextViewer(const char* memo_name, bool wrap, QMargins margins, QWidget* parent)
    : QWidget(parent), memo_(new QPlainTextEdit(this)) {
    memo_->setObjectName(QString::fromLatin1(memo_name));
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
    layout->setContentsMargins(margins);
    layout->addWidget(memo_);
    setFocusProxy(memo_);
    setMinimumSize(margins.left() + margins.right() + 160, margins.top() + margins.bottom() + 80);
}

void TextViewer::clear() {
    memo_->clear();
}

void TextViewer::add_lines(const QStringList& lines) {
    if (!lines.isEmpty()) {
        if (memo_->document()->isEmpty()) {
            // An empty viewer takes the text whole: far cheaper than adding to it.
            memo_->setPlainText(lines.join(QLatin1Char('\n')));
        } else {
            memo_->appendPlainText(lines.join(QLatin1Char('\n')));
        }
    }
    // A viewer opens at its first line and column, whatever was added last.
    memo_->moveCursor(QTextCursor::Start);
    memo_->verticalScrollBar()->setValue(0);
    memo_->horizontalScrollBar()->setValue(0);
}

InputViewer::InputViewer(QWidget* parent)
    : TextViewer("mem_wvi", false, QMargins(32, 16, 39, 28), parent) {
    setObjectName(QStringLiteral("frm_wvi"));
}

ResultViewer::ResultViewer(QWidget* parent)
    : TextViewer("mem_wre", true, QMargins(32, 24, 31, 36), parent) {
    setObjectName(QStringLiteral("frm_wre"));
}

}  // namespace glossek
