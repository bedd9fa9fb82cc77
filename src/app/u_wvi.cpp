#include "app/u_wvi.h"

namespace glossek {

Tfrm_wvi::Tfrm_wvi(QWidget* parent) : TextViewer(QStringLiteral("mem_wvi"), false, parent) {
    setObjectName(QStringLiteral("frm_wvi"));
    setWindowTitle(QStringLiteral("View input file"));
}

}  // namespace glossek
