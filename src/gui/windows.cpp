// SPDX-License-Identifier: MIT
#include "gui/windows.h"

#include <QAction>
#include <QTimer>

#include "files/file_names.h"
#include "gui/folder_dialog.h"
#include "gui/general_data_window.h"
#include "gui/qt_text.h"
#include "gui/table_window.h"
#include "gui/viewers.h"

namespace glossek {

ProgramWindows::ProgramWindows(AppState& state, Dialogs& dialogs)
    : frame_(std::make_unique<FrameWindow>(state, dialogs)) {
    FrameWindow& frame = *frame_;
    // In their fixed order; the frame owns them from here on.
    table_window_ = new TableWindow(frame);
    frame.adopt_child(Child::TableEditor, table_window_);
    auto* input_viewer = new InputViewer;
    frame.adopt_child(Child::InputViewer, input_viewer, input_viewer);
    auto* result_viewer = new ResultViewer;
    frame.adopt_child(Child::ResultViewer, result_viewer, result_viewer);
    general_data_ = new GeneralDataWindow(frame);
    frame.adopt_child(Child::GeneralData, general_data_);
    folder_dialog_ = new FolderDialog(frame, &frame);

    // Each command in the window that owns it.
    QObject::connect(frame.menu_item("mnu_fin"), &QAction::triggered, general_data_,
                     &GeneralDataWindow::choose_input);
    QObject::connect(frame.menu_item("mnu_fgo"), &QAction::triggered, general_data_,
                     &GeneralDataWindow::go);
    QObject::connect(frame.menu_item("mnu_fdir"), &QAction::triggered, folder_dialog_,
                     [this] { folder_dialog_->open_for(general_data_->way()); });
    QObject::connect(frame.menu_item("Recallfile1"), &QAction::triggered, table_window_,
                     &TableWindow::recall_table);
    QObject::connect(frame.menu_item("Savefileas1"), &QAction::triggered, table_window_,
                     &TableWindow::save_table_as);

    // What one window does for another.
    QObject::connect(general_data_, &GeneralDataWindow::table_loaded, table_window_,
                     &TableWindow::show_table);
    QObject::connect(table_window_, &TableWindow::table_recalled, general_data_,
                     [this] { general_data_->select_way(ConversionWay::AuxiliaryTable); });
    QObject::connect(&frame, &FrameWindow::stop_requested, general_data_,
                     &GeneralDataWindow::request_stop);
    QObject::connect(&frame, &FrameWindow::stop_requested, folder_dialog_,
                     &FolderDialog::request_stop);
    QObject::connect(&frame, &FrameWindow::code_pages_changed, table_window_,
                     &TableWindow::show_rows);
    QObject::connect(&frame, &FrameWindow::code_pages_changed, general_data_,
                     &GeneralDataWindow::show_input_page);
    QObject::connect(&frame, &FrameWindow::language_changed, table_window_,
                     &TableWindow::show_rows);
    QObject::connect(&frame, &FrameWindow::language_changed, general_data_,
                     &GeneralDataWindow::show_input_page);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::start(const CommandLineJob& command) {
    if (!frame_->load_language_and_code_pages()) {
        return;
    }
    if (!command.unresolved_name.empty() || !is_folder(command.input_name)) {
        general_data_->start(command);
        return;
    }
    CommandLineJob way_and_table = command;
    way_and_table.input_name.clear();
    way_and_table.output_name.clear();
    general_data_->start(way_and_table);
    const QString input = from_file_name(command.input_name);
    const QString output = from_file_name(command.output_name);
    QTimer::singleShot(0, folder_dialog_, [this, input, output] {
        folder_dialog_->open_for(general_data_->way(), input, output);
    });
}

}  // namespace glossek
