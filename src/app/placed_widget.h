// Controls placed at the fixed positions of their window, named for tests and tools.
#pragma once

#include <QString>
#include <QWidget>

namespace glossek {

template <typename Widget>
Widget* placed(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

}  // namespace glossek
