#include "lang/apply_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableWidget>

#include "app/child_window.h"
#include "app/qt_text.h"
#include "app/u_mdiglk.h"
#include "lang/captions.h"
#include "lang/texts.h"

namespace glossek {

namespace {

void set_caption(Tmdi_glk& frame, const QString& control, const QString& text) {
    // The grid's title row: "grd_tcv.0" and "grd_tcv.1".
    if (const auto dot = control.indexOf(QChar('.')); dot >= 0) {
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
    if (object == nullptr) {
        return;
    }
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
        // A child window's own caption, shown by the frame around it.
        widget->setWindowTitle(text);
        if (ChildWindow* window = frame.child_window_of(widget)) {
            window->setWindowTitle(text);
        }
    }
}

}  // namespace

void apply_language(Tmdi_glk& frame) {
    AppState& state = frame.state();
    state.LanguageCode = corrected_language_code(state.LanguageCode);
    state.texts = language_texts(state.LanguageCode);
    for (const Caption& caption : captions()) {
        const std::string& text =
            state.LanguageCode == kLanguageFrench ? caption.french : caption.english;
        set_caption(frame,
                    QString::fromLatin1(caption.control.data(),
                                        static_cast<qsizetype>(caption.control.size())),
                    from_cp1252(text));
    }
    frame.setWindowTitle(from_cp1252(state.texts.lng_product + state.texts.lng_version_suffix));
}

}  // namespace glossek
