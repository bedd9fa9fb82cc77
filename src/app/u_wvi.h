// The input viewer: the first lines of the input file, long lines not wrapped.
#pragma once

#include "app/text_viewer.h"

namespace glossek {

class Tfrm_wvi : public TextViewer {
    Q_OBJECT
public:
    explicit Tfrm_wvi(QWidget* parent = nullptr);
};

}  // namespace glossek
