// SPDX-License-Identifier: MIT
// A viewer as the commands fill it, without knowing the viewer's window.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/input_view.h"
#include "pages/code_pages.h"

namespace glossek {

// The page of the pair a viewer shows its bytes through, and its name, shown under the text.
struct ViewerPage {
    PageSide side = PageSide::Windows;
    CodePagePair pages;
    QString name;
};

// A viewer as the commands fill it: the lines a command produced, shown in one go.
class LineView {
public:
    virtual ~LineView() = default;
    virtual void clear() = 0;
    // Appends the lines (the file's bytes) and shows the text through `page`, from its first
    // line and column.
    virtual void add_lines(std::vector<std::string> lines, const ViewerPage& page) = 0;
    // The same lines shown through another page; nothing when nothing has been shown.
    virtual void show_page(const ViewerPage& page) = 0;
};

// Collects the lines a command produces and hands them to a viewer in one go when the
// command ends, however it ends: nothing repaints the viewer meanwhile, and laying the text
// out once is much cheaper than once per line.
class ViewerFill {
public:
    ViewerFill(LineView& viewer, ViewerPage page) : viewer_(viewer), page_(std::move(page)) {}
    ~ViewerFill() { viewer_.add_lines(std::move(lines_), page_); }
    ViewerFill(const ViewerFill&) = delete;
    ViewerFill& operator=(const ViewerFill&) = delete;
    void add(std::string_view bytes) { lines_.emplace_back(bytes); }

private:
    LineView& viewer_;
    ViewerPage page_;
    std::vector<std::string> lines_;
};

}  // namespace glossek
