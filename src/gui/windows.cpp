#include "gui/windows.h"

#include <QAction>

#include "gui/general_data_window.h"
#include "gui/table_window.h"
#include "gui/viewers.h"

namespace glossek {

ProgramWindows::ProgramWindows(AppState& state, Dialogs& dialogs, const QString& program_path)
    : frame_(std::make_unique<Tmdi_glk>(state, dialogs, program_path)) {
    Tmdi_glk& frame = *frame_;
    // In their fixed order; the frame owns them from here on.
    frm_tcv_ = new Tfrm_tcv(frame);
    frame.adopt_child(Child::TableEditor, frm_tcv_);
    auto* frm_wvi = new Tfrm_wvi;
    frame.adopt_child(Child::InputViewer, frm_wvi, frm_wvi);
    auto* frm_wre = new Tfrm_wre;
    frame.adopt_child(Child::ResultViewer, frm_wre, frm_wre);
    frm_gen_ = new Tfrm_gen(frame);
    frame.adopt_child(Child::GeneralData, frm_gen_);

    // Each command in the window that owns it.
    QObject::connect(frame.menu_item("mnu_fin"), &QAction::triggered, frm_gen_,
                     &Tfrm_gen::mnu_finClick);
    QObject::connect(frame.menu_item("mnu_fgo"), &QAction::triggered, frm_gen_,
                     &Tfrm_gen::mnu_fgoClick);
    QObject::connect(frame.menu_item("Recallfile1"), &QAction::triggered, frm_tcv_,
                     &Tfrm_tcv::Recallfile1Click);
    QObject::connect(frame.menu_item("Savefileas1"), &QAction::triggered, frm_tcv_,
                     &Tfrm_tcv::Savefileas1Click);

    // What one window does for another.
    QObject::connect(frm_gen_, &Tfrm_gen::tableLoaded, frm_tcv_, &Tfrm_tcv::show_table);
    QObject::connect(frm_tcv_, &Tfrm_tcv::tableRecalled, frm_gen_,
                     [this] { frm_gen_->select_way(ConversionWay::AuxiliaryTable); });
    QObject::connect(&frame, &Tmdi_glk::stopRequested, frm_gen_, &Tfrm_gen::request_stop);
    QObject::connect(&frame, &Tmdi_glk::codePagesChanged, frm_tcv_, &Tfrm_tcv::show_rows);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::start(const CommandLineJob& command) {
    if (frame_->load_language_and_code_pages()) {
        frm_gen_->FormCreate(command);
    }
}

}  // namespace glossek
