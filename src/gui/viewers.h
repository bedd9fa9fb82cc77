// SPDX-License-Identifier: MIT
// The two viewers: the first lines of the input file and of the last result, read-only,
// in a fixed-width font, the memo growing with the window.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include "gui/line_view.h"

namespace glossek {

class TextViewer : public QWidget, public LineView {
    Q_OBJECT
public:
    void clear() override;
    void add_lines(const QStringList& lines) override;

protected:
    // `margins`: the memo's distance from the window's edges at the design size.
    TextViewer(const char* memo_name, bool wrap, QMargins margins, QWidget* parent);

private:
    QPlainTextEdit* memo_;
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
