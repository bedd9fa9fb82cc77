// SPDX-License-Identifier: MIT
#include "gui/frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTimer>
#include <cstdlib>
#include <utility>

#include "app/code_page_setting.h"
#include "app/link_config.h"
#include "app/side_files.h"
#include "gui/child_window.h"
#include "gui/language.h"
#include "gui/program_icon.h"
#include "gui/qt_text.h"
#include "lang/messages.h"
#include "lang/texts.h"

namespace glossek {

namespace {

// Every child window is designed at this size.
constexpr QSize kChildDesignSize(696, 480);

QAction* add_item(QMenu* menu, const char* name, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

QMenu* add_menu(QMenuBar* bar, const char* name) {
    QMenu* menu = bar->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

FrameWindow::FrameWindow(AppState& state, Dialogs& dialogs)
    : state_(state),
      dialogs_(dialogs),
      mdi_(new QMdiArea(this)),
      code_pages_label_(new QLabel(this)) {
    setObjectName(QStringLiteral("mdi_glk"));
    setWindowIcon(program_icon());
    mdi_->setObjectName(QStringLiteral("mdi_area"));
    setCentralWidget(mdi_);
    code_pages_label_->setObjectName(QStringLiteral("lbl_codepages"));
    statusBar()->addPermanentWidget(code_pages_label_);
    place_on_screen();
    build_menu();
    // The keys of the controls, where the menu or the mnemonics come first (eventFilter).
    QApplication::instance()->installEventFilter(this);
    dialogs_.set_start_folder(
        from_file_name(state_.start_dir.empty() ? state_.program_dir : state_.start_dir));
    // Last: an unreadable link file is reported and the start goes on.
    guarded([&] { read_link_config(link_config_file(state_), state_.links); });
}

FrameWindow::~FrameWindow() {
    QApplication::instance()->removeEventFilter(this);
    QCoreApplication::removeTranslator(&qt_translator_);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    auto* widget = qobject_cast<QWidget*>(watched);
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || widget == nullptr) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (locked_ && (key->modifiers() & Qt::ControlModifier) != 0 &&
        (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        return true;  // no other child comes forward while a command runs
    }
    if (type == QEvent::KeyPress) {
        // Alt with a letter that no mnemonic took types nothing in a text box: the user
        // meant a command, not the letter.
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        return (modifiers & Qt::AltModifier) != 0 && (modifiers & Qt::ControlModifier) == 0 &&
               !key->text().isEmpty() && key->text().front().isPrint() &&
               qobject_cast<QLineEdit*>(widget) != nullptr;
    }
    if (widget->window() != this || !is_claimed_by_menu(widget, *key)) {
        return false;
    }
    event->ignore();  // not claimed by the control: the shortcut goes to the menu
    return true;
}

bool FrameWindow::is_claimed_by_menu(QWidget* widget, const QKeyEvent& key) const {
    // Menu shortcuts come before the keys of the control that has the focus (Ctrl+R shows
    // the result, whatever has the keyboard), but Ctrl+A selects the text of a text box.
    if (key.matches(QKeySequence::SelectAll) && qobject_cast<QLineEdit*>(widget) != nullptr) {
        return false;
    }
    const QKeySequence pressed(key.keyCombination());
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

void FrameWindow::build_menu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mmn_glk"));
    QMenu* file_menu = add_menu(bar, "pdn_file");
    add_item(file_menu, "mnu_fin", QKeySequence(Qt::CTRL | Qt::Key_F12));
    add_item(file_menu, "mnu_fou");  // no command of its own
    add_item(file_menu, "mnu_fgo", QKeySequence(Qt::Key_F2));
    add_item(file_menu, "mnu_fdir");
    add_item(file_menu, "mnu_fex");

    QMenu* table_menu = add_menu(bar, "pdn_tcv");
    add_item(table_menu, "Recallfile1");
    add_item(table_menu, "Savefileas1");

    QMenu* window_menu = add_menu(bar, "pdn_win");
    add_item(window_menu, "mnu_wge", QKeySequence(Qt::CTRL | Qt::Key_G));
    add_item(window_menu, "Otherconversiondetails1", QKeySequence(Qt::CTRL | Qt::Key_A));
    view_input_item_ = add_item(window_menu, "mnu_wvi", QKeySequence(Qt::CTRL | Qt::Key_I));
    view_result_item_ = add_item(window_menu, "mnu_wre", QKeySequence(Qt::CTRL | Qt::Key_R));
    view_input_item_->setEnabled(false);
    view_result_item_->setEnabled(false);
    window_menu->addSeparator();
    add_item(window_menu, "mnu_wti");
    add_item(window_menu, "mnu_wca");

    QMenu* options_menu = add_menu(bar, "pdn_opt");
    QMenu* language_menu = options_menu->addMenu(QString());
    language_menu->setObjectName(QStringLiteral("mnu_olg"));
    add_item(language_menu, "mnu_US");
    add_item(language_menu, "mnu_FR");
    add_item(options_menu, "mnu_ocp");

    QMenu* help_menu = add_menu(bar, "pdn_hlp");
    add_item(help_menu, "mnu_hin", QKeySequence(Qt::Key_F1));
    for (const char* name : {"mnu_hab", "mnu_hauth", "mnu_hglkh", "mnu_hmail"}) {
        add_item(help_menu, name);
    }
    connect_menu();
}

void FrameWindow::connect_menu() {
    // The frame's own commands; File, Input and Go and the Auxiliary conversion menu go to
    // the windows that own them (windows.cpp).
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"mnu_fex", [this] { close(); }},
        {"mnu_wge", [this] { show_child(Child::GeneralData); }},
        {"Otherconversiondetails1", [this] { show_child(Child::TableEditor); }},
        {"mnu_wvi", [this] { show_child(Child::InputViewer); }},
        {"mnu_wre", [this] { show_child(Child::ResultViewer); }},
        {"mnu_wti", [this] { tile_children(); }},
        {"mnu_wca", [this] { cascade_children(); }},
        {"mnu_US", [this] { switch_to_english(); }},
        {"mnu_FR", [this] { switch_to_french(); }},
        {"mnu_ocp", [this] { choose_code_pages(); }},
        {"mnu_hin", [this] { show_help_index(); }},
        {"mnu_hab", [this] { show_about(); }},
        {"mnu_hauth", [this] { open_author_page(); }},
        {"mnu_hglkh", [this] { open_program_page(); }},
        {"mnu_hmail", [this] { mail_author(); }},
    };
    for (const auto& [name, command] : commands) {
        connect(menu_item(name), &QAction::triggered, this, command);
    }
}

void FrameWindow::adopt_child(Child child, QWidget* content, LineView* view) {
    const auto index = static_cast<std::size_t>(child);
    content->setWindowIcon(windowIcon());
    auto* window = new ChildWindow(content, kChildDesignSize);
    mdi_->addSubWindow(window);
    children_[index] = window;
    viewers_[index] = view;
    // Every child exists from now to the end of the program. The table editor starts as an
    // icon; a viewer shows none until it has something to show, so that it cannot be opened
    // before its menu item allows it.
    if (child == Child::TableEditor) {
        window->showMinimized();
    } else if (child == Child::GeneralData) {
        window->show();
    } else {
        window->hide();
    }
    if (child == Child::GeneralData) {
        // The captions the windows are created with, from the same table as every switch.
        apply_captions(*this, kLanguageEnglish);
        setWindowTitle(from_cp1252(language_texts(kLanguageEnglish).lng_product));
    }
}

QAction* FrameWindow::menu_item(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

ChildWindow* FrameWindow::window_of(Child child) const {
    return children_[static_cast<std::size_t>(child)];
}

bool FrameWindow::load_language_and_code_pages() {
    const bool language_read = guarded([&] { load_language(); });
    // The code pages whatever happened to the language: a conversion must never run on a
    // pair other than the one chosen.
    load_code_pages();
    return language_read;
}

void FrameWindow::minimise_visible_children() {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->isHidden()) {
            (*it)->showMinimized();
        }
    }
}

void FrameWindow::show_child(Child child) {
    minimise_visible_children();
    ChildWindow* window = window_of(child);
    window->showMaximized();
    mdi_->setActiveSubWindow(window);
    // As a child activated by the user would, it takes the keyboard on its first control.
    window->widget()->setFocus(Qt::OtherFocusReason);
}

bool FrameWindow::is_maximised(Child child) const {
    return window_of(child)->isMaximized();
}

LineView& FrameWindow::viewer(Child viewer) {
    return *viewers_[static_cast<std::size_t>(viewer)];
}

void FrameWindow::enable_viewer(Child viewer) {
    (viewer == Child::InputViewer ? view_input_item_ : view_result_item_)->setEnabled(true);
    ChildWindow* window = window_of(viewer);
    if (!window->isHidden()) {
        return;
    }
    // Its icon appears beside the others; the child in front stays in front.
    QMdiSubWindow* front = mdi_->activeSubWindow();
    const bool front_maximised = front != nullptr && front->isMaximized();
    QWidget* focus = QApplication::focusWidget();
    window->showMinimized();
    if (front != nullptr) {
        if (front_maximised) {
            front->showMaximized();
        }
        mdi_->setActiveSubWindow(front);
    }
    if (focus != nullptr) {
        focus->setFocus();
    }
}

void FrameWindow::lock_commands(bool locked) {
    locked_ = locked;
    menuBar()->setEnabled(!locked);
    // The items too: their shortcuts would reach them past a disabled menu bar.
    if (locked) {
        for (QAction* item : findChildren<QAction*>()) {
            if (item->isEnabled() && !item->shortcut().isEmpty()) {
                item->setEnabled(false);
                locked_items_.append(item);
            }
        }
    } else {
        for (QAction* item : std::as_const(locked_items_)) {
            item->setEnabled(true);
        }
        locked_items_.clear();
    }
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        // Their contents only: a child window enabled again redraws its icon over the one in
        // front. Ctrl+Tab, which would bring one forward, is held back (eventFilter).
        if (window != window_of(Child::GeneralData)) {
            window->widget()->setEnabled(!locked);
        }
    }
    if (!locked && close_when_unlocked_) {
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    if (locked_) {
        // A conversion is running: it stops after its line, leaving the old output, and the
        // program ends as soon as it has.
        event->ignore();
        close_when_unlocked_ = true;
        emit stop_requested();
        return;
    }
    event->accept();
    keep_place();
    QApplication::exit(1);
}

bool FrameWindow::guarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        show_error(std::current_exception());
        return false;
    }
}

void FrameWindow::show_error(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& failure) {
        // The name apart from the text: it is the file system's, never the code page's.
        const ErrorMessage message = box_message(failure, state_.texts);
        text = from_cp1252(message.text);
        if (!message.file.empty()) {
            text = joined(shown_name(message.file), text);
        }
        for (const std::string& name : message.listed) {
            text += QStringLiteral("\n\r") + shown_name(name);
        }
    } catch (...) {
        text = from_cp1252(state_.texts.lng_unexpected_error);
    }
    // Titled as every other box of the program.
    dialogs_.error(from_cp1252(state_.texts.lng_product), text);
}

}  // namespace glossek
