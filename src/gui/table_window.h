// SPDX-License-Identifier: MIT
// The table editor window: the auxiliary table's pairs in a grid, in one of three notations,
// and the commands that keep tables in files, Recall file and Save file as.
#pragma once

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "gui/window_services.h"
#include "table/table_editor.h"

namespace glossek {

class TableWindow : public QWidget {
    Q_OBJECT
public:
    explicit TableWindow(WindowServices& services, QWidget* parent = nullptr);

    // The rows of a table just read; its notation (the job's) becomes the checked one.
    void show_table(const std::vector<TableRow>& rows);

    void recall_table();
    void save_table_as();

    // The texts of the grid again, after the code page in force changed.
    void show_rows();

signals:
    // A table file was read: the next conversion should use it.
    void table_recalled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place_controls();
    void set_up_grid();
    void set_keyboard_order();
    void connect_controls();

    // One character typed while the grid has the focus (the text of the key pressed).
    void type_in_grid(const QString& typed);
    // The box for a whole cell in characters, after Enter.
    void enter_cell(int row, int column);
    void add_row();
    void insert_row();
    void delete_row();
    void show_table_help();

    void switch_notation(std::string_view notation);
    // The notation of the next button of the group from `from` (step 1) or of the one before
    // (step -1), round the group.
    void step_notation(QObject* from, int step);
    FileFilter table_filter() const;
    void check_notation();
    void show_cell(int row, int column);
    int current_row() const;

    WindowServices& services_;
    TableEditor editor_;
    QLabel* name_label_;
    QLineEdit* name_box_;
    QTableWidget* grid_;
    QPushButton* add_button_;
    QPushButton* insert_button_;
    QPushButton* delete_button_;
    QPushButton* help_button_;
    QGroupBox* notation_group_;
    QRadioButton* chars_button_;
    QRadioButton* hexa_button_;
    QRadioButton* deci_button_;
    QIcon warning_icon_;
};

}  // namespace glossek
