// The General data window: the two file names and the way of conversion.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QWidget>

#include "conversion/job.h"

namespace glossek {

class Tmdi_glk;

class Tfrm_gen : public QWidget {
    Q_OBJECT
public:
    Tfrm_gen(Tmdi_glk& frame, QWidget* parent = nullptr);

    // Language, the job's start state and the command line; a command line that asks to
    // convert has already been run without any window, so nothing converts here.
    void FormCreate(const CommandLineJob& command);

    ConversionWay way() const;
    void set_way(ConversionWay way);

    QLabel* lbl_inp;
    QLabel* lbl_out;
    QLineEdit* txt_inp;
    QLineEdit* txt_out;
    QGroupBox* cdr_oem;
    QRadioButton* opt_win;
    QRadioButton* opt_dos;
    QRadioButton* opt_xtf;
    QProgressBar* gge_progress;

private:
    Tmdi_glk& frame_;
};

}  // namespace glossek
