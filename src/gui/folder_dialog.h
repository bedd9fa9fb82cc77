// SPDX-License-Identifier: MIT
// File, Convert a folder: the input and output folders, the way of General data, and a run
// of the whole tree on threads of its own while the window stays live, then its report.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <functional>
#include <string>

#include "app/folder_plan.h"
#include "app/folder_run.h"
#include "gui/window_services.h"

namespace glossek {

class FolderReportWindow;

class FolderDialog : public QDialog {
    Q_OBJECT
public:
    FolderDialog(WindowServices& services, QWidget* owner);

    // Shown over the frame for a run by `way` (General data's), with the input's text
    // selected so that typing replaces it. Names given replace those of the last time; an
    // input without an output gets the proposed one.
    void open_for(ConversionWay way, const QString& input = QString(),
                  const QString& output = QString());
    void go();
    // Asks a running Go to stop once the files under way are done.
    void request_stop() { stop_ = true; }

protected:
    // Escape and the window's close button stop a run, and close the dialog otherwise.
    void reject() override;

private:
    void place_controls();
    void set_up_buttons();
    void choose_input();
    void choose_output();
    // The output proposed for the input, unless the user has typed another.
    void propose_output();
    void show_way();
    std::string typed_name(const QLineEdit* box) const;
    // Go's steps: what stands in the way said, the tree surveyed, the replacement asked.
    bool refused(const FolderSettings& settings);
    bool may_replace(const FolderSettings& settings, FolderSurvey& survey);
    void run(const FolderSettings& settings, const FolderSurvey& survey);
    // Runs `work` on a thread of its own while this thread's events go on, calling `tick`
    // a few times a second; returns once it has ended, throwing what it threw.
    void wait_for(const std::function<void()>& work, const std::function<void()>& tick);
    void set_running(bool running);

    WindowServices& services_;
    QLabel* input_label_;
    QLineEdit* input_box_;
    QPushButton* input_button_;
    QLabel* output_label_;
    QLineEdit* output_box_;
    QPushButton* output_button_;
    QLabel* way_label_;
    QLabel* table_label_;
    QProgressBar* progress_bar_;
    QPushButton* go_button_;
    QPushButton* cancel_button_;
    QPushButton* close_button_;
    FolderReportWindow* report_;
    ConversionWay way_ = ConversionWay::DosToWindows;
    QString proposed_;  // the output last proposed
    std::atomic<bool> stop_{false};
    bool running_ = false;
};

}  // namespace glossek
