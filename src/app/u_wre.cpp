#include "app/u_wre.h"

namespace glossek {

Tfrm_wre::Tfrm_wre(QWidget* parent) : TextViewer(QStringLiteral("mem_wre"), true, parent) {
    setObjectName(QStringLiteral("frm_wre"));
    setWindowTitle(QStringLiteral("View result"));
}

}  // namespace glossek
