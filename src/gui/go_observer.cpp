// SPDX-License-Identifier: MIT
#include "gui/go_observer.h"

#include <QCoreApplication>
#include <utility>

namespace glossek {

GoObserver::GoObserver(LineView& viewer, ViewerPage page, QProgressBar& bar, const bool& stop)
    : lines_(viewer, std::move(page)), bar_(bar), stop_(stop) {
    clock_.start();
}

GoObserver::~GoObserver() {
    // The bar ends at the last position reached, painted or not.
    if (shown_ != position_) {
        bar_.setValue(position_);
    }
}

void GoObserver::progress(int position) {
    position_ = position;
    // Moved and painted at once, but not more often than a screen would show (the first
    // line's look at the events paints it first).
    if (painted_.isValid() && painted_.elapsed() >= 20) {
        show_position();
    }
}

bool GoObserver::stop_requested() {
    // The clock is read every 256 lines only: a million short lines stay cheap. The first
    // line shows the bar and the button at once.
    ++lines_seen_;
    if (lines_seen_ == 1 || ((lines_seen_ & 0xFF) == 0 && clock_.elapsed() >= 100)) {
        bar_.setValue(position_);
        shown_ = position_;
        QCoreApplication::processEvents();  // paints the bar too
        painted_.start();
        clock_.restart();
    }
    return stop_;
}

void GoObserver::show_position() {
    bar_.setValue(position_);
    shown_ = position_;
    bar_.repaint();
    painted_.start();
}

}  // namespace glossek
