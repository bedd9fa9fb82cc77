// SPDX-License-Identifier: MIT
// The controls of a window at their design places. The page scrolls when the window is
// smaller than its design, and lets the window move and stretch controls as it grows.
#pragma once

#include <QRect>
#include <QScrollArea>
#include <QSize>
#include <QWidget>
#include <functional>

namespace glossek {

class FormPage : public QWidget {
    Q_OBJECT
public:
    // Fills `form` (a child window's content) with a page laid out for the `design` size,
    // which scrolls when the window is smaller than `minimum` (where the controls end).
    FormPage(QWidget* form, QSize design, QSize minimum);

    // A control named for tests and tools, at its design place on the page.
    template <typename Widget>
    Widget* place(const char* name, QRect where) {
        auto* widget = new Widget(this);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(where);
        return widget;
    }

    // Called with the growth of the page over its design (never negative) whenever the page
    // changes size.
    void on_growth(std::function<void(int dx, int dy)> arrange);
    // Runs that again, after a control was shown or hidden.
    void arrange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize design_;
    std::function<void(int, int)> arrange_;
};

}  // namespace glossek
