// SPDX-License-Identifier: MIT
// A viewer as the commands fill it, without knowing the viewer's window.
#pragma once

#include <QStringList>
#include <string_view>

#include "gui/qt_text.h"
#include "pages/code_pages.h"

namespace glossek {

// A viewer as the commands fill it: the lines a command produced, shown in one go.
class LineView {
public:
    virtual ~LineView() = default;
    virtual void clear() = 0;
    // Appends the lines and shows the text from its first line and column.
    virtual void add_lines(const QStringList& lines) = 0;
};

// Collects the lines a command produces and hands them to a viewer in one go when the
// command ends, however it ends: nothing repaints the viewer meanwhile, and laying the text
// out once is much cheaper than once per line.
class ViewerFill {
public:
    ViewerFill(LineView& viewer, const CodePagePair& pages) : viewer_(viewer), pages_(pages) {}
    ~ViewerFill() { viewer_.add_lines(lines_); }
    ViewerFill(const ViewerFill&) = delete;
    ViewerFill& operator=(const ViewerFill&) = delete;
    void add(std::string_view bytes) { lines_.append(from_ansi_page(bytes, pages_)); }

private:
    LineView& viewer_;
    const CodePagePair& pages_;
    QStringList lines_;
};

}  // namespace glossek
