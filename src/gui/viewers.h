// SPDX-License-Identifier: MIT
// The two viewers: the first lines of the input file and of the last result, read-only,
// in a fixed-width font, the memo growing with the window, and under it the page the text
// is shown in.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <string>
#include <vector>

#include "gui/line_view.h"

namespace glossek {

class TextViewer : public QWidget, public LineView {
    Q_OBJECT
public:
    void clear() override;
    void add_lines(std::vector<std::string> lines, const ViewerPage& page) override;
    void show_page(const ViewerPage& page) override;

protected:
    // `margins`: the memo's distance from the window's edges at the design size; the page's
    // line takes the bottom one.
    TextViewer(const char* memo_name, const char* page_name, bool wrap, QMargins margins,
               QWidget* parent);

private:
    void show_text();

    QPlainTextEdit* memo_;
    QLabel* page_label_;
    // The bytes shown, so that they can be shown through another page.
    std::vector<std::string> lines_;
    ViewerPage page_;
    bool filled_ = false;
};

// View input file: long lines are not wrapped.
class InputViewer : public TextViewer {
    Q_OBJECT
public:
    explicit InputViewer(QWidget* parent = nullptr);
};

// View result: long lines wrap.
class ResultViewer : public TextViewer {
    Q_OBJECT
public:
    explicit ResultViewer(QWidget* parent = nullptr);
};

}  // namespace glossek
