// SPDX-License-Identifier: MIT
#include "gui/table_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <functional>
#include <optional>

#include "gui/form_page.h"
#include "gui/qt_text.h"
#include "lang/messages.h"
#include "pages/utf8.h"
#include "table/table_file.h"

namespace glossek {

namespace {

constexpr auto kTableFiles = "*.glk";

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

TableWindow::TableWindow(WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services), editor_(services.state().table) {
    setObjectName(QStringLiteral("frm_tcv"));
    place_controls();
    set_up_grid();
    name_box_->setReadOnly(true);
    notation_group_->setFocusPolicy(Qt::NoFocus);
    warning_icon_ = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    set_keyboard_order();
    connect_controls();
    check_notation();
    show_rows();
    grid_->setCurrentCell(0, 0);
}

void TableWindow::place_controls() {
    auto* page = new FormPage(this, QSize(688, 453), QSize(680, 425));
    name_label_ = page->place<QLabel>("lbl_tcv", {48, 16, 180, 21});
    name_box_ = page->place<QLineEdit>("txt_tcv", {232, 16, 433, 21});
    grid_ = new TableGrid(page, [this](const QString& typed) { type_in_grid(typed); });
    grid_->setObjectName(QStringLiteral("grd_tcv"));
    grid_->setGeometry(40, 48, 397, 369);
    add_button_ = page->place<QPushButton>("cmd_add", {456, 48, 81, 33});
    insert_button_ = page->place<QPushButton>("cmd_ins", {456, 80, 81, 33});
    delete_button_ = page->place<QPushButton>("cmd_del", {456, 112, 81, 33});
    help_button_ = page->place<QPushButton>("cmd_hlp", {456, 152, 81, 33});
    notation_group_ = page->place<QGroupBox>("cdr_tcv", {456, 232, 221, 121});
    chars_button_ = page->place<QRadioButton>("opt_char", {472, 256, 197, 21});
    hexa_button_ = page->place<QRadioButton>("opt_hexa", {472, 288, 197, 21});
    deci_button_ = page->place<QRadioButton>("opt_deci", {472, 320, 197, 21});
    page->on_growth([this](int dx, int dy) {
        name_box_->resize(433 + dx, name_box_->height());
        grid_->resize(397 + dx, 369 + dy);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 add_button_, insert_button_, delete_button_, help_button_, notation_group_}) {
            control->move(456 + dx, control->y());
        }
        for (QWidget* control :
             std::initializer_list<QWidget*>{chars_button_, hexa_button_, deci_button_}) {
            control->move(472 + dx, control->y());
        }
    });
}

void TableWindow::set_up_grid() {
    grid_->setColumnCount(2);
    grid_->setHorizontalHeaderItem(0, new QTableWidgetItem);
    grid_->setHorizontalHeaderItem(1, new QTableWidgetItem);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);
    grid_->setStyleSheet(QString::fromLatin1(kGridStyle));
    QFont font = grid_->font();
    font.setBold(true);
    grid_->setFont(font);
}

void TableWindow::set_keyboard_order() {
    setTabOrder(grid_, add_button_);
    setTabOrder(add_button_, insert_button_);
    setTabOrder(insert_button_, delete_button_);
    setTabOrder(delete_button_, help_button_);
    setTabOrder(help_button_, chars_button_);
    setTabOrder(chars_button_, hexa_button_);
    setTabOrder(hexa_button_, deci_button_);
    setTabOrder(deci_button_, name_box_);
    setFocusProxy(grid_);
    // The arrow keys in the notation group switch the notation (eventFilter).
    for (QRadioButton* button : {chars_button_, hexa_button_, deci_button_}) {
        button->installEventFilter(this);
    }
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool forward = key->key() == Qt::Key_Down || key->key() == Qt::Key_Right;
    const bool back = key->key() == Qt::Key_Up || key->key() == Qt::Key_Left;
    if ((!forward && !back) || key->modifiers() != Qt::NoModifier) {
        return QWidget::eventFilter(watched, event);
    }
    step_notation(watched, forward ? 1 : -1);
    return true;
}

void TableWindow::step_notation(QObject* from, int step) {
    QRadioButton* const buttons[] = {chars_button_, hexa_button_, deci_button_};
    int at = 0;
    while (at < 2 && buttons[at] != from) {
        ++at;
    }
    // Round the group, as a click on the next button does: switched, or said why not.
    buttons[(at + step + 3) % 3]->click();
    for (QRadioButton* button : buttons) {
        if (button->isChecked()) {
            button->setFocus(Qt::TabFocusReason);
        }
    }
}

void TableWindow::connect_controls() {
    connect(add_button_, &QPushButton::clicked, this, &TableWindow::add_row);
    connect(insert_button_, &QPushButton::clicked, this, &TableWindow::insert_row);
    connect(delete_button_, &QPushButton::clicked, this, &TableWindow::delete_row);
    connect(help_button_, &QPushButton::clicked, this, &TableWindow::show_table_help);
    const std::pair<QRadioButton*, std::string_view> notations[] = {{chars_button_, kNotationChar},
                                                                    {hexa_button_, kNotationHexa},
                                                                    {deci_button_, kNotationDeci}};
    for (const auto& [button, notation] : notations) {
        connect(button, &QRadioButton::toggled, this, [this, notation = notation](bool on) {
            if (on) {
                switch_notation(notation);
            }
        });
    }
}

int TableWindow::current_row() const {
    return std::max(grid_->currentRow(), 0) + 1;
}

void TableWindow::show_cell(int row, int column) {
    auto* item = grid_->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        grid_->setItem(row - 1, column, item);
    }
    const AppState& state = services_.state();
    const QString text = from_ansi_page(editor_.cell(row, column), state.pages);
    item->setText(text);
    // A cell of codes that would not be kept as typed is marked, and says why; a side wider
    // than its column is shown whole when the mouse rests on it.
    const QString fault = from_cp1252(
        cell_fault_text(editor_.cell_fault(row, column), editor_.notation(), state.texts));
    item->setData(Qt::DecorationRole, fault.isEmpty() ? QVariant() : QVariant(warning_icon_));
    item->setBackground(fault.isEmpty() ? QBrush() : QBrush(QColor(0xF8, 0xD7, 0xD7)));
    const int room = grid_->columnWidth(column) - 8;
    const bool wide = QFontMetrics(grid_->font()).horizontalAdvance(text) > room;
    QStringList tip;
    if (!fault.isEmpty()) {
        tip << fault;
    }
    if (wide) {
        tip << text;
    }
    item->setToolTip(tip.join(QLatin1Char('\n')));
}

void TableWindow::show_rows() {
    grid_->setRowCount(editor_.row_count());
    for (int row = 1; row <= editor_.row_count(); ++row) {
        show_cell(row, 0);
        show_cell(row, 1);
    }
}

void TableWindow::check_notation() {
    // The program checks the button of a notation already current: nothing to convert.
    const QSignalBlocker block_char(chars_button_);
    const QSignalBlocker block_hexa(hexa_button_);
    const QSignalBlocker block_deci(deci_button_);
    const std::string& notation = editor_.notation();
    if (notation == kNotationHexa) {
        hexa_button_->setChecked(true);
    } else if (notation == kNotationDeci) {
        deci_button_->setChecked(true);
    } else {
        chars_button_->setChecked(true);
    }
}

void TableWindow::show_table(const std::vector<TableRow>& rows) {
    editor_.show_loaded(rows);
    show_rows();
    check_notation();
    grid_->setCurrentCell(0, 0);
    // The table in use, read from the command line or recalled.
    name_box_->setText(from_file_name(services_.state().job.table_name));
}

void TableWindow::type_in_grid(const QString& typed) {
    const int row = current_row();
    const int column = std::max(grid_->currentColumn(), 0);
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
            if (wants_input_box) {
                enter_cell(row, column);
            }
        });
        show_cell(row, column);
        if (!ok) {
            break;
        }
    }
}

void TableWindow::enter_cell(int row, int column) {
    const CodePagePair& pages = services_.state().pages;
    const LanguageTexts& texts = services_.state().texts;
    const QString prompt = from_cp1252(texts.lng_row) + QStringLiteral(": %1 ").arg(row) +
                           from_cp1252(texts.lng_column) + QStringLiteral(": %1").arg(column + 1);
    std::optional<QString> entered =
        services_.dialogs().input_text(from_cp1252(texts.lng_cell_box), prompt,
                                       from_ansi_page(editor_.cell(row, column), pages), 255);
    if (entered) {
        editor_.enter_text(row, column, to_ansi_page(*entered, pages));
    } else {
        editor_.sync_pair(row, column);
    }
}

void TableWindow::add_row() {
    editor_.add();
    show_rows();
    grid_->setFocus();
}

void TableWindow::insert_row() {
    const int row = current_row();
    const int column = std::max(grid_->currentColumn(), 0);
    editor_.insert(row);
    show_rows();
    grid_->setCurrentCell(row - 1, column);
    grid_->setFocus();
}

void TableWindow::delete_row() {
    editor_.remove(current_row());
    show_rows();
    grid_->setFocus();
}

void TableWindow::show_table_help() {
    services_.show_help(QStringLiteral("_Tab") +
                        QString::fromStdString(services_.state().language_code));
}

void TableWindow::switch_notation(std::string_view notation) {
    bool switched = false;
    services_.guarded([&] { switched = editor_.switch_to(notation); });
    // Rows converted before a failure show their new texts; a refusal shows the current
    // notation's button checked again, and says why.
    show_rows();
    if (!switched && editor_.notation() != kNotationChar && notation != kNotationChar &&
        editor_.notation() != notation) {
        check_notation();
        const LanguageTexts& texts = services_.state().texts;
        services_.dialogs().message(from_cp1252(texts.lng_product),
                                    from_cp1252(texts.lng_notation_refused));
    }
}

FileFilter TableWindow::table_filter() const {
    return {from_cp1252(services_.state().texts.lng_table_filter),
            QString::fromLatin1(kTableFiles)};
}

void TableWindow::recall_table() {
    std::optional<QString> chosen = services_.dialogs().open_file({table_filter()});
    if (!chosen) {
        return;
    }
    services_.guarded([&] {
        // The name becomes the table's only once the file has been read whole: a refused
        // or unreadable file leaves the table, its name and the grid as they were.
        ConversionJob& job = services_.state().job;
        const std::string name = to_file_name(*chosen);
        const std::vector<TableRow> rows =
            load_table_file(name, job.table_file, services_.state().table);
        job.table_name = name;
        show_table(rows);
        if (!services_.is_maximised(Child::TableEditor)) {
            services_.show_child(Child::TableEditor);
        }
        emit table_recalled();
    });
}

void TableWindow::save_table_as() {
    std::optional<QString> chosen =
        services_.dialogs().save_file(table_filter(), QStringLiteral("glk"));
    if (!chosen) {
        return;
    }
    services_.guarded([&] {
        // The file saved is the table in use from now on: its name is shown, and Go will
        // neither read it nor replace it.
        ConversionJob& job = services_.state().job;
        const std::string name = to_file_name(*chosen);
        save_table_file(job.table_file, name, services_.state().table.notation, editor_.rows());
        job.table_name = name;
        name_box_->setText(from_file_name(name));
    });
}

}  // namespace glossek
