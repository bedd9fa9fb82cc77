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

#include "conversion/job.h"
#include "gui/window_services.h"
#include "table/table_file.h"

namespace glossek {

class FormPage;

class Tfrm_gen : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_gen(WindowServices& services, QWidget* parent = nullptr);

    // The job's start state and the command line. A command line that asks to convert has
    // already been run without any window, so nothing converts here.
    void FormCreate(const CommandLineJob& command);

    void mnu_finClick();
    void mnu_fgoClick();
    // Asks a running Go to stop after its current line.
    void request_stop() { stop_requested_ = true; }

    // Recall checks the auxiliary way, so that the next Go uses the table.
    void select_way(ConversionWay way);

signals:
    // A table named on the command line was read: its rows, for the table editor.
    void tableLoaded(const std::vector<TableRow>& rows);

private:
    void LoadInputView();
    // Input's steps for a chosen file: the boxes, the proposed output, the input viewer.
    void take_input(const QString& chosen);
    ConversionWay way() const;
    // A name typed in a box as the file system spells it; a relative name means the folder
    // the program was started from.
    std::string typed_name(const QLineEdit* box) const;
    void show_progress(bool shown);
    void set_job_controls_enabled(bool enabled);

    WindowServices& services_;
    FormPage* page_;
    QLabel* lbl_inp;
    QLabel* lbl_out;
    QLineEdit* txt_inp;
    QLineEdit* txt_out;
    QGroupBox* cdr_oem;
    QRadioButton* opt_win;
    QRadioButton* opt_dos;
    QRadioButton* opt_xtf;
    QProgressBar* gge_progress;
    QPushButton* cmd_stop;
    bool stop_requested_ = false;
};

}  // namespace glossek
