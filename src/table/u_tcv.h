// The table editor window: the auxiliary table's name and its pairs.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <string>
#include <vector>

#include "table/table_file.h"

namespace glossek {

class Tfrm_tcv : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_tcv(QWidget* parent = nullptr);

    // The rows of a table just read, in its notation.
    void show_table(const std::vector<TableRow>& rows, const std::string& notation);
    const std::vector<TableRow>& rows() const { return rows_; }

    QLabel* lbl_tcv;
    QLineEdit* txt_tcv;

private:
    std::vector<TableRow> rows_;
    std::string notation_;
};

}  // namespace glossek
