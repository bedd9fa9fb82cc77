// The result viewer: the first lines of the last conversion, long lines wrapped.
#pragma once

#include "app/text_viewer.h"

namespace glossek {

class Tfrm_wre : public TextViewer {
    Q_OBJECT
public:
    explicit Tfrm_wre(QWidget* parent = nullptr);
};

}  // namespace glossek
