// The table editor window: the auxiliary table's pairs in a grid, in one of three notations,
// and the commands that keep tables in files, Recall file and Save file as.
#pragma once

#include <QGroupBox>
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

class Tfrm_tcv : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_tcv(WindowServices& services, QWidget* parent = nullptr);

    // The rows of a table just read; its notation (the job's) becomes the checked one.
    void show_table(const std::vector<TableRow>& rows);

    void Recallfile1Click();
    void Savefileas1Click();

    // The texts of the grid again, after the code page in force changed.
    void show_rows();

signals:
    // A table file was read: the next conversion should use it.
    void tableRecalled();

private:
    // One character typed while the grid has the focus (the text of the key pressed).
    void grd_tcvKeyPress(const QString& typed);
    void cmd_addClick();
    void cmd_insClick();
    void cmd_delClick();
    void cmd_hlpClick();
    void opt_charClick();
    void opt_hexaClick();
    void opt_deciClick();

    void switch_notation(std::string_view notation);
    void check_notation();
    void show_cell(int row, int column);
    int current_row() const;

    WindowServices& services_;
    TableEditor editor_;
    QLabel* lbl_tcv;
    QLineEdit* txt_tcv;
    QTableWidget* grd_tcv;
    QPushButton* cmd_add;
    QPushButton* cmd_ins;
    QPushButton* cmd_del;
    QPushButton* cmd_hlp;
    QGroupBox* cdr_tcv;
    QRadioButton* opt_char;
    QRadioButton* opt_hexa;
    QRadioButton* opt_deci;
};

}  // namespace glossek
