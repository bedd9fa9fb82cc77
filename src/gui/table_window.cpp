#include "gui/table_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <functional>
#include <optional>

#include "conversion/transcode.h"
#include "gui/form_page.h"
#include "gui/qt_text.h"
#include "table/table_file.h"

namespace glossek {

namespace {

constexpr auto kRecallFilter = "Glossek conversion (*.glk) | *.GLK";
constexpr auto kSaveFilter = "GLK conversion (*. glk)|*.glk";

// The grid edits its cells itself: every character typed goes to the window's handler,
// the keys that move around the grid keep their usual meaning. Keys held with Alt are the
// menus' access keys, never characters of a cell.
class TableGrid : public QTableWidget {
public:
    TableGrid(QWidget* parent, std::function<void(const QString&)> typed)
        : QTableWidget(parent), typed_(std::move(typed)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0) {
            event->ignore();
            return;
        }
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

// The current cell is drawn in a light colour; a frame in a strong one says the grid has
// the keyboard, so the two are never taken for each other.
constexpr auto kGridStyle =
    "QTableWidget { border: 2px solid palette(mid); selection-background-color: #cfe3f6;"
    " selection-color: black; }"
    " QTableWidget:focus { border: 2px solid #1d5fa8; }";

}  // namespace

Tfrm_tcv::Tfrm_tcv(WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services), editor_(services.state().job, services.state().table) {
    setObjectName(QStringLiteral("frm_tcv"));
    auto* page = new FormPage(this, QSize(688, 453), QSize(680, 425));
    lbl_tcv = page->place<QLabel>("lbl_tcv", {48, 16, 180, 21});
    txt_tcv = page->place<QLineEdit>("txt_tcv", {232, 16, 433, 21});
    grd_tcv = new TableGrid(page, [this](const QString& typed) { grd_tcvKeyPress(typed); });
    grd_tcv->setObjectName(QStringLiteral("grd_tcv"));
    grd_tcv->setGeometry(40, 48, 397, 369);
    cmd_add = page->place<QPushButton>("cmd_add", {456, 48, 81, 33});
    cmd_ins = page->place<QPushButton>("cmd_ins", {456, 80, 81, 33});
    cmd_del = page->place<QPushButton>("cmd_del", {456, 112, 81, 33});
    cmd_hlp = page->place<QPushButton>("cmd_hlp", {456, 152, 81, 33});
    cdr_tcv = page->place<QGroupBox>("cdr_tcv", {456, 232, 221, 121});
    opt_char = page->place<QRadioButton>("opt_char", {472, 256, 197, 21});
    opt_hexa = page->place<QRadioButton>("opt_hexa", {472, 288, 197, 21});
    opt_deci = page->place<QRadioButton>("opt_deci", {472, 320, 197, 21});
    page->on_growth([this](int dx, int dy) {
        txt_tcv->resize(433 + dx, txt_tcv->height());
        grd_tcv->resize(397 + dx, 369 + dy);
        for (QWidget* control :
             std::initializer_list<QWidget*>{cmd_add, cmd_ins, cmd_del, cmd_hlp, cdr_tcv}) {
            control->move(456 + dx, control->y());
        }
        for (QWidget* control : std::initializer_list<QWidget*>{opt_char, opt_hexa, opt_deci}) {
            control->move(472 + dx, control->y());
        }
    });

    txt_tcv->setReadOnly(true);
    cdr_tcv->setFocusPolicy(Qt::NoFocus);

    grd_tcv->setColumnCount(2);
    grd_tcv->setHorizontalHeaderItem(0, new QTableWidgetItem);
    grd_tcv->setHorizontalHeaderItem(1, new QTableWidgetItem);
    grd_tcv->verticalHeader()->hide();
    grd_tcv->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grd_tcv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_tcv->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_tcv->setTabKeyNavigation(false);
    grd_tcv->setStyleSheet(QString::fromLatin1(kGridStyle));
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
    setFocusProxy(grd_tcv);

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
    const QString text = from_ansi_page(editor_.cell(row, column), services_.state().pages);
    item->setText(text);
    // A side wider than its column is shown whole when the mouse rests on it.
    const int room = grd_tcv->columnWidth(column) - 8;
    item->setToolTip(QFontMetrics(grd_tcv->font()).horizontalAdvance(text) > room ? text
                                                                                  : QString());
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
    const CodePagePair& pages = services_.state().pages;
    const std::string bytes = to_ansi_page(typed, pages);
    for (char byte : bytes) {
        bool ok = services_.guarded([&] {
            // Under UTF-8 Backspace takes back the last character of a cell in characters,
            // all of its bytes.
            std::size_t presses = 1;
            if (byte == static_cast<char>(kBackspace) && pages.utf8() &&
                editor_.notation() == kNotationChar) {
                presses = std::max<std::size_t>(1, last_utf8_size(editor_.cell(row, column)));
            }
            bool wants_input_box = false;
            for (std::size_t k = 0; k < presses; ++k) {
                wants_input_box = editor_.key_press(row, column, static_cast<unsigned char>(byte));
            }
            if (!wants_input_box) {
                return;
            }
            const LanguageTexts& texts = services_.state().texts;
            const QString prompt = from_cp1252(texts.lng_row) + QStringLiteral(": %1 ").arg(row) +
                                   from_cp1252(texts.lng_column) +
                                   QStringLiteral(": %1").arg(column + 1);
            std::optional<QString> entered = services_.dialogs().input_text(
                QStringLiteral("Enter..."), prompt,
                from_ansi_page(editor_.cell(row, column), pages), 255);
            if (entered) {
                editor_.enter_text(row, column, to_ansi_page(*entered, pages));
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
    grd_tcv->setFocus();
}

void Tfrm_tcv::cmd_insClick() {
    const int row = current_row();
    const int column = std::max(grd_tcv->currentColumn(), 0);
    editor_.insert(row);
    show_rows();
    grd_tcv->setCurrentCell(row - 1, column);
    grd_tcv->setFocus();
}

void Tfrm_tcv::cmd_delClick() {
    editor_.remove(current_row());
    show_rows();
    grd_tcv->setFocus();
}

void Tfrm_tcv::cmd_hlpClick() {
    services_.show_help(QStringLiteral("_Tab") +
                        QString::fromStdString(services_.state().LanguageCode));
}

void Tfrm_tcv::switch_notation(std::string_view notation) {
    bool switched = false;
    services_.guarded([&] { switched = editor_.switch_to(notation); });
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

void Tfrm_tcv::Recallfile1Click() {
    std::optional<QString> chosen = services_.dialogs().open_file(
        services_.dialog_folder(), {parse_filter(QString::fromLatin1(kRecallFilter))});
    if (!chosen) {
        return;
    }
    services_.remember_folder(*chosen);
    services_.guarded([&] {
        // The name becomes the table's only once the file has been read whole: a refused
        // or unreadable file leaves the table, its name and the grid as they were.
        ConversionJob& job = services_.state().job;
        const std::string previous = job.TableName;
        job.TableName = to_file_name(*chosen);
        std::vector<TableRow> rows;
        try {
            rows = load_table_file(job, services_.state().table);
        } catch (...) {
            job.TableName = previous;
            throw;
        }
        show_table(rows);
        if (!services_.is_maximised(Child::TableEditor)) {
            services_.ShowChild(Child::TableEditor);
        }
        txt_tcv->setText(*chosen);
        emit tableRecalled();
    });
}

void Tfrm_tcv::Savefileas1Click() {
    std::optional<QString> chosen = services_.dialogs().save_file(
        services_.dialog_folder(), parse_filter(QString::fromLatin1(kSaveFilter)),
        QStringLiteral("glk"));
    if (!chosen) {
        return;
    }
    services_.remember_folder(*chosen);
    services_.guarded([&] {
        ConversionJob& job = services_.state().job;
        save_table_file(job.TableFile, to_file_name(*chosen), job.Notation, editor_.rows());
        txt_tcv->setText(from_file_name(job.TableName));
    });
}

}  // namespace glossek
