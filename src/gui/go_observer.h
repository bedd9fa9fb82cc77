// SPDX-License-Identifier: MIT
// What the Go command shows while the engine runs: the result lines and the progress bar.
#pragma once

#include <QElapsedTimer>
#include <QProgressBar>
#include <string_view>

#include "conversion/engine.h"
#include "gui/line_view.h"

namespace glossek {

// The bar is repainted at once when it moves, but not more often than a screen would show
// it; a few times a second the window answers its Cancel button (and Escape); the rest of
// the time the conversion has the thread to itself. The result lines reach the viewer in
// one go when the observer ends, through `page`.
class GoObserver : public GenerateObserver {
public:
    GoObserver(LineView& viewer, ViewerPage page, QProgressBar& bar, const bool& stop);
    ~GoObserver() override;
    GoObserver(const GoObserver&) = delete;
    GoObserver& operator=(const GoObserver&) = delete;

    void result_line(std::string_view line) override { lines_.add(line); }
    void progress(int position) override;
    bool stop_requested() override;

private:
    void show_position();

    ViewerFill lines_;
    QProgressBar& bar_;
    const bool& stop_;
    QElapsedTimer clock_;
    QElapsedTimer painted_;
    unsigned lines_seen_ = 0;
    int position_ = 0;  // where the engine is
    int shown_ = 0;     // where the bar is
};

}  // namespace glossek
