// A read-only view of the first lines of a file, in a fixed-width font.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <string_view>

#include "conversion/code_pages.h"

namespace glossek {

class TextViewer : public QWidget {
    Q_OBJECT
public:
    TextViewer(const QString& memo_name, bool wrap, QWidget* parent = nullptr);

    void clear();
    // One line of file bytes, shown through the ANSI code page in force.
    void append_line(std::string_view bytes, const CodePagePair& pages);
    int line_count() const;
    QString line(int index) const;
    QPlainTextEdit* memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
    int lines_ = 0;
};

}  // namespace glossek
