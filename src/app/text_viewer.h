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
    // Lines already turned into text, added in one go.
    void append_lines(const QStringList& lines);
    int line_count() const;
    QString line(int index) const;
    QPlainTextEdit* memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
    int lines_ = 0;
};

// Collects the lines a command produces and hands them to the viewer in one go when the
// command ends, however it ends: nothing repaints the viewer meanwhile, and laying the text
// out once is much cheaper than once per line.
class ViewerFill {
public:
    ViewerFill(TextViewer& viewer, const CodePagePair& pages) : viewer_(viewer), pages_(pages) {}
    ~ViewerFill() { viewer_.append_lines(lines_); }
    ViewerFill(const ViewerFill&) = delete;
    ViewerFill& operator=(const ViewerFill&) = delete;
    void add(std::string_view bytes);

private:
    TextViewer& viewer_;
    const CodePagePair& pages_;
    QStringList lines_;
};

}  // namespace glossek
