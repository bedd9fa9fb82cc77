#include "table/u_tcv.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <functional>

#include "app/placed_widget.h"
#include "app/qt_text.h"
#include "app/u_mdiglk.h"

namespace glossek {

namespace {

// The grid edits its cells itself: every character typed goes to the window's handler,
// the keys that move around the grid keep their usual meaning.
class TableGrid : public QTableWidget {
public:
    TableGrid(QWidget* parent, std::function<void(const QString&)> typed)
        : QTableWidget(parent), typed_(std::move(typed)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        const int key = event->key();
        if (!text.isEmpty() && key != Qt::Key_Tab && key != Qt::Key_Backtab &&
            key != Qt::Key_Delete) {
            typed_(text);
            event->accept();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

private:
    std::function<void(const QString&)> typed_;
};

}  // namespace

Tfrm_tcv::Tfrm_tcv(Tmdi_glk& frame, QWidget* parent)
    : QWidget(parent), frame_(frame), editor_(frame.state().job, frame.state().table) {
    setObjectName(QStringLiteral("frm_tcv"));
    setWindowTitle(QStringLiteral("Auxiliary conversion details"));
    lbl_tcv = placed<QLabel>(this, "lbl_tcv", 48, 16, 180, 21);
    txt_tcv = placed<QLineEdit>(this, "txt_tcv", 232, 16, 433, 21);
    grd_tcv = new TableGrid(this, [this](const QString& typed) { grd_tcvKeyPress(typed); });
    grd_tcv->setObjectName(QStringLiteral("grd_tcv"));
    grd_tcv->setGeometry(40, 48, 397, 369);
    cmd_add = placed<QPushButton>(this, "cmd_add", 456, 48, 81, 33);
    cmd_ins = placed<QPushButton>(this, "cmd_ins", 456, 80, 81, 33);
    cmd_del = placed<QPushButton>(this, "cmd_del", 456, 112, 81, 33);
    cmd_hlp = placed<QPushButton>(this, "cmd_hlp", 456, 152, 81, 33);
    cdr_tcv = placed<QGroupBox>(this, "cdr_tcv", 456, 232, 221, 121);
    opt_char = placed<QRadioButton>(this, "opt_char", 472, 256, 197, 21);
    opt_hexa = placed<QRadioButton>(this, "opt_hexa", 472, 288, 197, 21);
    opt_deci = placed<QRadioButton>(this, "opt_deci", 472, 320, 197, 21);

    lbl_tcv->setText(QStringLiteral("Auxiliary file name:"));
    txt_tcv->setReadOnly(true);
    cmd_add->setText(QStringLiteral("Add"));
    cmd_ins->setText(QStringLiteral("Insert"));
    cmd_del->setText(QStringLiteral("Delete"));
    cmd_hlp->setText(QStringLiteral("Help"));
    cdr_tcv->setTitle(QStringLiteral("Conversion mode"));
    cdr_tcv->setFocusPolicy(Qt::NoFocus);
    opt_char->setText(QStringLiteral("Characters strings"));
    opt_hexa->setText(QStringLiteral("Codes in hexadecimal"));
    opt_deci->setText(QStringLiteral("Codes in decimal"));

    grd_tcv->setColumnCount(2);
    grd_tcv->setHorizontalHeaderLabels(
        {QStringLiteral("To be converted"), QStringLiteral("Replaced by")});
    grd_tcv->setColumnWidth(0, 184);
    grd_tcv->setColumnWidth(1, 186);
    grd_tcv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_tcv->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_tcv->setTabKeyNavigation(false);
    QFont font = grd_tcv->font();
    font.setBold(true);
    grd_tcv->setFont(font);

    setTabOrder(grd_tcv, cmd_add);
    setTabOrder(cmd_add, cmd_ins);
    setTabOrder(cmd_ins, cmd_del);
    setTabOrder(cmd_del, opt_char);
    setTabOrder(opt_char, opt_hexa);
    setTabOrder(opt_hexa, opt_deci);
    setTabOrder(opt_deci, txt_tcv);
    setTabOrder(txt_tcv, cmd_hlp);

    connect(cmd_add, &QPushButton::clicked, this, &Tfrm_tcv::cmd_addClick);
    connect(cmd_ins, &QPushButton::clicked, this, &Tfrm_tcv::cmd_insClick);
    connect(cmd_del, &QPushButton::clicked, this, &Tfrm_tcv::cmd_delClick);
    connect(cmd_hlp, &QPushButton::clicked, this, &Tfrm_tcv::cmd_hlpClick);
    connect(opt_char, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            opt_charClick();
        }
    });
    connect(opt_hexa, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            opt_hexaClick();
        }
    });
    connect(opt_deci, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            opt_deciClick();
        }
    });

    check_notation();
    show_rows();
    grd_tcv->setCurrentCell(0, 0);
}

int Tfrm_tcv::current_row() const {
    return std::max(grd_tcv->currentRow(), 0) + 1;
}

void Tfrm_tcv::show_cell(int row, int column) {
    auto* item = grd_tcv->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        grd_tcv->setItem(row - 1, column, item);
    }
    item->setText(from_ansi_page(editor_.cell(row, column), frame_.state().pages));
}

void Tfrm_tcv::show_rows() {
    grd_tcv->setRowCount(editor_.row_count());
    for (int row = 1; row <= editor_.row_count(); ++row) {
        show_cell(row, 0);
        show_cell(row, 1);
    }
}

void Tfrm_tcv::check_notation() {
    // The program checks the button of a notation already current: nothing to convert.
    const QSignalBlocker block_char(opt_char);
    const QSignalBlocker block_hexa(opt_hexa);
    const QSignalBlocker block_deci(opt_deci);
    const std::string& notation = editor_.notation();
    if (notation == kNotationHexa) {
        opt_hexa->setChecked(true);
    } else if (notation == kNotationDeci) {
        opt_deci->setChecked(true);
    } else {
        opt_char->setChecked(true);
    }
}

void Tfrm_tcv::show_table(const std::vector<TableRow>& rows) {
    editor_.show_loaded(rows);
    show_rows();
    check_notation();
    grd_tcv->setCurrentCell(0, 0);
}

void Tfrm_tcv::grd_tcvKeyPress(const QString& typed) {
    const int row = current_row();
    const int column = std::max(grd_tcv->currentColumn(), 0);
    const std::string bytes = to_ansi_page(typed, frame_.state().pages);
    for (char byte : bytes) {
        bool ok = frame_.guarded([&] {
            if (!editor_.key_press(row, column, static_cast<unsigned char>(byte))) {
                return;
            }
            const LanguageTexts& texts = frame_.state().texts;
            const QString prompt = from_cp1252(texts.lng_row) + QStringLiteral(": %1 ").arg(row) +
                                   from_cp1252(texts.lng_column) +
                                   QStringLiteral(": %1").arg(column + 1);
            std::optional<QString> entered = frame_.dialogs().input_text(
                QStringLiteral("Enter..."), prompt,
                from_ansi_page(editor_.cell(row, column), frame_.state().pages), 255);
            if (entered) {
                editor_.enter_text(row, column, to_ansi_page(*entered, frame_.state().pages));
            } else {
                editor_.sync_pair(row, column);
            }
        });
        show_cell(row, column);
        if (!ok) {
            break;
        }
    }
}

void Tfrm_tcv::cmd_addClick() {
    editor_.add();
    show_rows();
}

void Tfrm_tcv::cmd_insClick() {
    const int row = current_row();
    const int column = std::max(grd_tcv->currentColumn(), 0);
    editor_.insert(row);
    show_rows();
    grd_tcv->setCurrentCell(row - 1, column);
}

void Tfrm_tcv::cmd_delClick() {
    editor_.remove(current_row());
    show_rows();
}

void Tfrm_tcv::cmd_hlpClick() {
    frame_.show_help(QStringLiteral("_Tab") + QString::fromStdString(frame_.state().LanguageCode));
}

void Tfrm_tcv::switch_notation(std::string_view notation) {
    bool switched = false;
    frame_.guarded([&] { switched = editor_.switch_to(notation); });
    // Rows converted before a failure show their new texts; a refusal shows the current
    // notation's button checked again.
    show_rows();
    if (!switched && editor_.notation() != kNotationChar && notation != kNotationChar) {
        check_notation();
    }
}

void Tfrm_tcv::opt_charClick() {
    switch_notation(kNotationChar);
}
void Tfrm_tcv::opt_hexaClick() {
    switch_notation(kNotationHexa);
}
void Tfrm_tcv::opt_deciClick() {
    switch_notation(kNotationDeci);
}

}  // namespace glossek
