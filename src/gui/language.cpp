// SPDX-License-Identifier: MIT
#include "gui/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>

#include "gui/qt_text.h"
#include "lang/captions.h"
#include "lang/texts.h"

namespace glossek {

namespace {

void set_caption(QWidget& frame, const QString& control, const QString& text) {
    // The grid's title row: "grd_tcv.0" and "grd_tcv.1".
    if (const auto dot = control.indexOf(QLatin1Char('.')); dot >= 0) {
        if (auto* grid = frame.findChild<QTableWidget*>(control.left(dot))) {
            const int column = control.mid(dot + 1).toInt();
            auto* item = grid->horizontalHeaderItem(column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                grid->setHorizontalHeaderItem(column, item);
            }
            item->setText(text);
        }
        return;
    }
    QObject* object = frame.findChild<QObject*>(control);
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(object)) {
        box->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(text);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        // A child window's own caption, which the frame shows around it.
        widget->setWindowTitle(text);
    }
}

}  // namespace

void apply_captions(QWidget& frame, std::string_view code) {
    for (const Caption& caption : captions()) {
        const std::string& text = code == kLanguageFrench ? caption.french : caption.english;
        set_caption(frame,
                    QString::fromLatin1(caption.control.data(),
                                        static_cast<qsizetype>(caption.control.size())),
                    from_cp1252(text));
    }
}

}  // namespace glossek
