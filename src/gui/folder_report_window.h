// SPDX-License-Identifier: MIT
// The end of a folder run: a row for each file, the summary, and the report saved as CSV.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "app/folder_report.h"
#include "gui/window_services.h"

namespace glossek {

class FolderReportWindow : public QDialog {
    Q_OBJECT
public:
    FolderReportWindow(WindowServices& services, QWidget* owner);

    // The files of a run in the order of their paths, in the language in force; `stopped`
    // when the run did not reach its end. Shown over the window that ran it.
    void show_report(const std::vector<FolderFile>& files, ConversionWay way, bool stopped);
    void save_report_as();

private:
    void place_controls();
    void fill_grid(ConversionWay way);
    void sort_by(int column, Qt::SortOrder order);

    WindowServices& services_;
    QLabel* summary_label_;
    QTableWidget* grid_;
    QPushButton* save_button_;
    QPushButton* close_button_;
    std::vector<FolderReportRow> rows_;
};

}  // namespace glossek
