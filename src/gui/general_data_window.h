// SPDX-License-Identifier: MIT
// The General data window: the two file names, the way of conversion, and the commands
// that work on them, File Input and File Go.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "conversion/engine.h"
#include "conversion/go_check.h"
#include "gui/window_services.h"
#include "table/table_file.h"

namespace glossek {

class FormPage;
class ReadingLine;

class GeneralDataWindow : public QWidget {
    Q_OBJECT
public:
    explicit GeneralDataWindow(WindowServices& services, QWidget* parent = nullptr);

    // The job's start state and the command line. A command line that asks to convert has
    // already been run without any window, so nothing converts here.
    void start(const CommandLineJob& command);

    void choose_input();
    void go();
    // Asks a running Go to stop after its current line.
    void request_stop() { stop_requested_ = true; }

    // Recall checks the auxiliary way, so that the next Go uses the table.
    void select_way(ConversionWay way);
    // The way checked, which Go converts by.
    ConversionWay way() const;
    // The input viewer's lines again through the page the way reads, after the way or the
    // pair in force changed.
    void show_input_page();

signals:
    // A table named on the command line was read: its rows, for the table editor.
    void table_loaded(const std::vector<TableRow>& rows);

private:
    // How a Go ended.
    struct GoResult {
        bool converted = false;  // false: an error was shown
        bool stopped = false;    // the user stopped it
        bool input_missing = false;
        LossyCount lossy;
    };

    void place_controls();
    void set_up_progress();
    // The input's first lines in its viewer, through the page the way reads.
    void show_input();
    ViewerPage viewer_page(PageSide side) const;
    // Input's steps for a chosen file: the boxes, the proposed output, the input viewer.
    void take_input(const QString& chosen);
    // A name typed in a box as the file system spells it; a relative name means the folder
    // the program was started from.
    std::string typed_name(const QLineEdit* box) const;
    void show_progress(bool shown);
    void show_input_missing();
    void set_job_controls_enabled(bool enabled);
    // Go's steps: the refusal or the missing input said, or the overwrite asked (false: no
    // Go), the conversion with everything else out of reach, and what its end says.
    bool may_go(const GoDecision& decision);
    GoResult run_conversion(LineView& result_view);
    void end_go(const GoResult& result, LineView& result_view);

    WindowServices& services_;
    FormPage* page_;
    QLabel* input_label_;
    QLabel* output_label_;
    QLineEdit* input_box_;
    QLineEdit* output_box_;
    ReadingLine* reading_line_;
    QGroupBox* way_group_;
    QRadioButton* dos_to_windows_button_;
    QRadioButton* windows_to_dos_button_;
    QRadioButton* table_way_button_;
    QProgressBar* progress_bar_;
    QPushButton* cancel_button_;
    bool stop_requested_ = false;
};

}  // namespace glossek
