#include "table/u_tcv.h"

namespace glossek {

Tfrm_tcv::Tfrm_tcv(QWidget* parent)
    : QWidget(parent), lbl_tcv(new QLabel(this)), txt_tcv(new QLineEdit(this)) {
    setObjectName(QStringLiteral("frm_tcv"));
    setWindowTitle(QStringLiteral("Auxiliary conversion details"));
    lbl_tcv->setObjectName(QStringLiteral("lbl_tcv"));
    lbl_tcv->setText(QStringLiteral("Auxiliary file name:"));
    lbl_tcv->setGeometry(48, 32, 150, 21);
    txt_tcv->setObjectName(QStringLiteral("txt_tcv"));
    txt_tcv->setReadOnly(true);
    txt_tcv->setGeometry(200, 32, 417, 21);
}

void Tfrm_tcv::show_table(const std::vector<TableRow>& rows, const std::string& notation) {
    rows_ = rows;
    notation_ = notation;
}

}  // namespace glossek
