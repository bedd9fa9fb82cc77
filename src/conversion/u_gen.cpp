#include "conversion/u_gen.h"

#include <QStyle>
#include <QStyleFactory>

#include "app/placed_widget.h"
#include "app/qt_text.h"
#include "app/u_mdiglk.h"
#include "conversion/start_up.h"
#include "table/u_tcv.h"

namespace glossek {

Tfrm_gen::Tfrm_gen(Tmdi_glk& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
    setObjectName(QStringLiteral("frm_gen"));
    setWindowTitle(QStringLiteral("General data"));
    lbl_inp = placed<QLabel>(this, "lbl_inp", 48, 32, 110, 21);
    lbl_out = placed<QLabel>(this, "lbl_out", 48, 72, 110, 21);
    txt_inp = placed<QLineEdit>(this, "txt_inp", 160, 32, 457, 21);
    txt_out = placed<QLineEdit>(this, "txt_out", 160, 72, 457, 21);
    // The frame is drawn around the radio buttons, which stay siblings on the window.
    cdr_oem = placed<QGroupBox>(this, "cdr_oem", 48, 168, 329, 129);
    opt_win = placed<QRadioButton>(this, "opt_win", 56, 192, 313, 21);
    opt_dos = placed<QRadioButton>(this, "opt_dos", 56, 224, 313, 21);
    opt_xtf = placed<QRadioButton>(this, "opt_xtf", 56, 256, 313, 21);
    gge_progress = placed<QProgressBar>(this, "gge_progress", 48, 352, 593, 25);
    gge_progress->setRange(0, 100);
    gge_progress->setValue(0);
    // A plain bar, as the classic control draws it: no percentage text and no gradients
    // to lay out and paint each time the position moves during a conversion.
    gge_progress->setTextVisible(false);
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(gge_progress);
        gge_progress->setStyle(plain);
    }
    gge_progress->hide();

    lbl_inp->setText(QStringLiteral("&Input file:"));
    lbl_out->setText(QStringLiteral("Ou&tput file:"));
    lbl_inp->setBuddy(txt_inp);
    lbl_out->setBuddy(txt_out);
    cdr_oem->setTitle(QStringLiteral("Conversion way"));
    cdr_oem->setFocusPolicy(Qt::NoFocus);
    opt_win->setText(QStringLiteral("DOS (ASCII) to Windows (A&NSI)"));
    opt_dos->setText(QStringLiteral("Windows (ANSI) to DOS (A&SCII)"));
    opt_xtf->setText(QStringLiteral("&Use an auxiliary conversion table"));
    opt_win->setChecked(true);

    setTabOrder(txt_inp, txt_out);
    setTabOrder(txt_out, opt_win);
    setTabOrder(opt_win, opt_dos);
    setTabOrder(opt_dos, opt_xtf);
    setTabOrder(opt_xtf, gge_progress);
}

ConversionWay Tfrm_gen::way() const {
    if (opt_dos->isChecked()) {
        return ConversionWay::WindowsToDos;
    }
    if (opt_xtf->isChecked()) {
        return ConversionWay::AuxiliaryTable;
    }
    return ConversionWay::DosToWindows;
}

void Tfrm_gen::set_way(ConversionWay way) {
    switch (way) {
        case ConversionWay::DosToWindows:
            opt_win->setChecked(true);
            break;
        case ConversionWay::WindowsToDos:
            opt_dos->setChecked(true);
            break;
        case ConversionWay::AuxiliaryTable:
            opt_xtf->setChecked(true);
            break;
    }
}

void Tfrm_gen::FormCreate(const CommandLineJob& command) {
    AppState& state = frame_.state();
    if (!frame_.guarded([&] { frame_.load_language(); })) {
        return;  // no texts applied, the command line not looked at
    }
    frame_.load_code_pages();

    CommandLineJob without_run = command;
    without_run.run = false;
    StartUpResult result;
    if (!frame_.guarded([&] { result = apply_command_line(state, without_run); })) {
        return;
    }
    set_way(state.way);
    txt_inp->setText(from_file_name(state.job.InputName));
    txt_out->setText(from_file_name(state.job.OutputName));
    switch (result.step) {
        case StartUpResult::Step::TableMissing:
            frame_.dialogs().message(from_cp1252(state.texts.lng_product),
                                     joined(from_file_name(state.job.TableName),
                                            from_cp1252(state.texts.lng_table_file_halted)));
            break;
        case StartUpResult::Step::TableRefused:
            frame_.show_error(result.table_error);
            break;
        default:
            if (command.table_given) {
                frame_.frm_tcv->show_table(result.table_rows);
            }
            break;
    }
    frame_.ShowChild(this);
}

}  // namespace glossek
