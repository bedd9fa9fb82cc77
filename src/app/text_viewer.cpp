#include "app/text_viewer.h"

#include <QFontDatabase>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/qt_text.h"

namespace glossek {

TextViewer::TextViewer(const QString& memo_name, bool wrap, QWidget* parent)
    : QWidget(parent), memo_(new QPlainTextEdit(this)) {
    memo_->setObjectName(memo_name);
    memo_->setReadOnly(true);
    memo_->setUndoRedoEnabled(false);
    memo_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    memo_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 16, 32, 16);
    layout->addWidget(memo_);
}

void TextViewer::clear() {
    memo_->clear();
    lines_ = 0;
}

void TextViewer::append_line(std::string_view bytes, const CodePagePair& pages) {
    // appendPlainText adds a block at the end without laying out the text before it.
    memo_->appendPlainText(from_ansi_page(bytes, pages));
    ++lines_;
}

void TextViewer::append_lines(const QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    memo_->appendPlainText(lines.join(QChar('\n')));
    lines_ += static_cast<int>(lines.size());
}

void ViewerFill::add(std::string_view bytes) {
    lines_.append(from_ansi_page(bytes, pages_));
}

int TextViewer::line_count() const {
    return lines_;
}

QString TextViewer::line(int index) const {
    return memo_->document()->findBlockByNumber(index).text();
}

}  // namespace glossek
