#include "gui/frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTimer>
#include <cstdlib>
#include <utility>

#include "app/batch.h"
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

// Every child window is designed at this size, the frame at about the same.
constexpr QSize kChildDesignSize(696, 480);
constexpr QRect kFrameDesignPlace(128, 147, 695, 480);

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

// Link files written on this system are UTF-8; older ones are in the ANSI code page.
QString link_address(const std::string& bytes, const CodePagePair& pages) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString address = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? from_ansi_page(bytes, pages) : address;
}

}  // namespace

Tmdi_glk::Tmdi_glk(AppState& state, Dialogs& dialogs, const QString& program_path)
    : state_(state),
      dialogs_(dialogs),
      app_title_(from_file_name(glossek::application_title(to_file_name(program_path)))),
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
    // Menu shortcuts come before the keys of the control that has the focus (Ctrl+A is a
    // window command here, not "select all" in the name box).
    QApplication::instance()->installEventFilter(this);
    FormCreate();
}

Tmdi_glk::~Tmdi_glk() {
    QApplication::instance()->removeEventFilter(this);
    QCoreApplication::removeTranslator(&qt_translator_);
}

void Tmdi_glk::place_on_screen() {
    // Where the program has always opened, unless that would put part of the frame off the
    // screen (a small or scaled screen): then centred, and never larger than the screen.
    QRect place = kFrameDesignPlace;
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        // The window manager's title bar and borders come on top of the frame's own size.
        const QRect with_borders = place.adjusted(-8, -32, 8, 8);
        if (!room.contains(with_borders)) {
            place.setSize(place.size().boundedTo(room.size() - QSize(16, 40)));
            place.moveCenter(room.center());
        }
    }
    setGeometry(place);
}

bool Tmdi_glk::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
            event->ignore();  // not claimed by the control: the shortcut goes to the menu
            return true;
        }
    }
    return false;
}

void Tmdi_glk::build_menu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mmn_glk"));
    QMenu* pdn_file = add_menu(bar, "pdn_file");
    add_item(pdn_file, "mnu_fin", QKeySequence(Qt::CTRL | Qt::Key_F12));
    add_item(pdn_file, "mnu_fou");  // no command of its own
    add_item(pdn_file, "mnu_fgo", QKeySequence(Qt::Key_F2));
    QAction* mnu_fex = add_item(pdn_file, "mnu_fex");

    QMenu* pdn_tcv = add_menu(bar, "pdn_tcv");
    add_item(pdn_tcv, "Recallfile1");
    add_item(pdn_tcv, "Savefileas1");

    QMenu* pdn_win = add_menu(bar, "pdn_win");
    QAction* mnu_wge = add_item(pdn_win, "mnu_wge", QKeySequence(Qt::CTRL | Qt::Key_G));
    QAction* Otherconversiondetails1 =
        add_item(pdn_win, "Otherconversiondetails1", QKeySequence(Qt::CTRL | Qt::Key_A));
    mnu_wvi_ = add_item(pdn_win, "mnu_wvi", QKeySequence(Qt::CTRL | Qt::Key_I));
    mnu_wre_ = add_item(pdn_win, "mnu_wre", QKeySequence(Qt::CTRL | Qt::Key_R));
    mnu_wvi_->setEnabled(false);
    mnu_wre_->setEnabled(false);

    // The Options menu keeps the caption it is created with, in both languages.
    QMenu* pdn_opt = add_menu(bar, "pdn_opt");
    pdn_opt->setTitle(QStringLiteral("&Options"));
    QMenu* mnu_olg = pdn_opt->addMenu(QString());
    mnu_olg->setObjectName(QStringLiteral("mnu_olg"));
    QAction* mnu_US = add_item(mnu_olg, "mnu_US");
    QAction* mnu_FR = add_item(mnu_olg, "mnu_FR");
    QAction* mnu_ocp = add_item(pdn_opt, "mnu_ocp");

    QMenu* pdn_hlp = add_menu(bar, "pdn_hlp");
    QAction* mnu_hin = add_item(pdn_hlp, "mnu_hin", QKeySequence(Qt::Key_F1));
    QAction* mnu_hab = add_item(pdn_hlp, "mnu_hab");
    QAction* mnu_hauth = add_item(pdn_hlp, "mnu_hauth");
    QAction* mnu_hglkh = add_item(pdn_hlp, "mnu_hglkh");
    QAction* mnu_hmail = add_item(pdn_hlp, "mnu_hmail");

    // The frame's own commands; File, Input and Go and the Auxiliary conversion menu go to
    // the windows that own them (windows.cpp).
    connect(mnu_fex, &QAction::triggered, this, &Tmdi_glk::mnu_fexClick);
    connect(mnu_wge, &QAction::triggered, this, [this] { ShowChild(Child::GeneralData); });
    connect(Otherconversiondetails1, &QAction::triggered, this,
            [this] { ShowChild(Child::TableEditor); });
    connect(mnu_wvi_, &QAction::triggered, this, [this] { ShowChild(Child::InputViewer); });
    connect(mnu_wre_, &QAction::triggered, this, [this] { ShowChild(Child::ResultViewer); });
    connect(mnu_US, &QAction::triggered, this, &Tmdi_glk::mnu_USClick);
    connect(mnu_FR, &QAction::triggered, this, &Tmdi_glk::mnu_FRClick);
    connect(mnu_ocp, &QAction::triggered, this, &Tmdi_glk::mnu_ocpClick);
    connect(mnu_hin, &QAction::triggered, this, &Tmdi_glk::mnu_hinClick);
    connect(mnu_hab, &QAction::triggered, this, &Tmdi_glk::mnu_habClick);
    connect(mnu_hauth, &QAction::triggered, this, &Tmdi_glk::mnu_hauthClick);
    connect(mnu_hglkh, &QAction::triggered, this, &Tmdi_glk::mnu_hglkhClick);
    connect(mnu_hmail, &QAction::triggered, this, &Tmdi_glk::mnu_hmailClick);
}

void Tmdi_glk::FormCreate() {
    dialog_folder_ = from_file_name(state_.StartDir.empty() ? state_.ProgramDir : state_.StartDir);
    // Last: an unreadable link file is reported and the start goes on.
    guarded([&] { read_link_config(link_config_file(state_), state_.links); });
}

void Tmdi_glk::adopt_child(Child child, QWidget* content, LineView* view) {
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
        setWindowTitle(QStringLiteral("Glossek"));
    }
}

QAction* Tmdi_glk::menu_item(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

ChildWindow* Tmdi_glk::window_of(Child child) const {
    return children_[static_cast<std::size_t>(child)];
}

bool Tmdi_glk::load_language_and_code_pages() {
    const bool language_read = guarded([&] { load_language(); });
    // The code pages whatever happened to the language: a conversion must never run on a
    // pair other than the one chosen.
    load_code_pages();
    return language_read;
}

void Tmdi_glk::ShowChild(Child child) {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->isHidden()) {
            (*it)->showMinimized();
        }
    }
    ChildWindow* window = window_of(child);
    window->showMaximized();
    mdi_->setActiveSubWindow(window);
    // As a child activated by the user would, it takes the keyboard on its first control.
    window->widget()->setFocus(Qt::OtherFocusReason);
}

bool Tmdi_glk::is_maximised(Child child) const {
    return window_of(child)->isMaximized();
}

LineView& Tmdi_glk::viewer(Child viewer) {
    return *viewers_[static_cast<std::size_t>(viewer)];
}

void Tmdi_glk::enable_viewer(Child viewer) {
    (viewer == Child::InputViewer ? mnu_wvi_ : mnu_wre_)->setEnabled(true);
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

void Tmdi_glk::remember_folder(const QString& chosen_file) {
    dialog_folder_ = QFileInfo(chosen_file).absolutePath();
}

void Tmdi_glk::lock_commands(bool locked) {
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
        if (window != window_of(Child::GeneralData)) {
            window->setEnabled(!locked);
        }
    }
    if (!locked && close_when_unlocked_) {
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void Tmdi_glk::mnu_fexClick() {
    close();
}

void Tmdi_glk::closeEvent(QCloseEvent* event) {
    if (locked_) {
        // A conversion is running: it stops after its line, leaving the old output, and the
        // program ends as soon as it has.
        event->ignore();
        close_when_unlocked_ = true;
        emit stopRequested();
        return;
    }
    event->accept();
    QApplication::exit(1);
}

bool Tmdi_glk::guarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        show_error(std::current_exception());
        return false;
    }
}

void Tmdi_glk::show_error(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& failure) {
        // The name apart from the text: it is the file system's, never the code page's. The
        // file layer's box keeps its text alone, as it always had.
        const ErrorMessage message = error_message(failure, state_.texts);
        text = from_cp1252(message.text);
        if (!message.file.empty() && dynamic_cast<const TextIoError*>(&failure) == nullptr) {
            text = joined(shown_name(message.file), text);
        }
        for (const std::string& name : message.listed) {
            text += QStringLiteral("\n\r") + shown_name(name);
        }
    } catch (...) {
        text = QStringLiteral("Unexpected error.");
    }
    dialogs_.error(app_title_, text);
}

void Tmdi_glk::load_language() {
    glossek::load_language(state_);
    apply_language();
}

void Tmdi_glk::apply_language() {
    state_.LanguageCode = corrected_language_code(state_.LanguageCode);
    state_.texts = language_texts(state_.LanguageCode);
    // Qt's own texts (buttons of message boxes, file dialogs, the child windows' menus)
    // follow the program's language.
    QCoreApplication::removeTranslator(&qt_translator_);
    if (state_.LanguageCode == kLanguageFrench &&
        qt_translator_.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_translator_);
    }
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        static_cast<ChildWindow*>(window)->translate_system_menu();
    }
    apply_captions(*this, state_.LanguageCode);
    setWindowTitle(from_cp1252(state_.texts.lng_product + state_.texts.lng_version_suffix));
}

void Tmdi_glk::switch_language(std::string_view code) {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->isHidden()) {
            (*it)->showMinimized();
        }
    }
    state_.LanguageCode = std::string(code.substr(0, 2));
    apply_language();
    // Beside the program (or in the user's settings folder), whatever folder a file dialog
    // last moved to.
    make_settings_folder(state_);
    write_language_file(language_file(state_), code);
    ShowChild(Child::GeneralData);
}

void Tmdi_glk::mnu_USClick() {
    guarded([&] { switch_language(kLanguageEnglish); });
}

void Tmdi_glk::mnu_FRClick() {
    guarded([&] { switch_language(kLanguageFrench); });
}

void Tmdi_glk::load_code_pages() {
    const QString title = from_cp1252(state_.texts.lng_product);
    // The pair kept from an earlier choice; one that cannot be used is said, never dropped
    // in silence, and the pair of the language settings takes its place.
    std::optional<PageNumbers> kept;
    try {
        kept = read_code_page_file(code_page_file(state_));
    } catch (const std::exception& error) {
        dialogs_.message(title, joined(shown_name(code_page_file(state_)),
                                       from_cp1252(state_.texts.lng_code_page_file_bad)) +
                                    QStringLiteral("\n") + QString::fromUtf8(error.what()));
    }
    try {
        state_.pages = code_pages_from_environment(nullptr, kept);
    } catch (const CodePageError& error) {
        // Said, not silently replaced: the user learns which pages exist, and the pair
        // without the faulty setting stays in force for this run.
        dialogs_.message(title, QString::fromUtf8(error.what()));
        state_.pages = code_pages_from_environment(
            [](const char* name) -> const char* {
                const std::string_view variable(name);
                return variable == "GLOSSEK_OEMCP" || variable == "GLOSSEK_ANSICP"
                           ? nullptr
                           : std::getenv(name);
            },
            kept);
    }
    show_code_pages();
}

void Tmdi_glk::mnu_ocpClick() {
    CodePageChoice choice;
    choice.title = from_cp1252(state_.texts.lng_code_pages);
    choice.dos_label = from_cp1252(state_.texts.lng_dos_page);
    choice.windows_label = from_cp1252(state_.texts.lng_windows_page);
    for (int page : supported_oem_pages()) {
        choice.dos_pages.append(
            {page, QString::fromStdString(code_page_title(page, state_.LanguageCode))});
    }
    for (int page : supported_ansi_pages()) {
        choice.windows_pages.append(
            {page, QString::fromStdString(code_page_title(page, state_.LanguageCode))});
    }
    choice.dos = state_.pages.oem;
    choice.windows = state_.pages.ansi;
    const std::optional<std::pair<int, int>> chosen = dialogs_.choose_code_pages(choice);
    if (!chosen) {
        return;
    }
    guarded([&] {
        // In force at once, for the next conversion and the grid's characters; kept for the
        // next start.
        state_.pages = code_page_pair(chosen->first, chosen->second);
        show_code_pages();
        emit codePagesChanged();
        make_settings_folder(state_);
        write_code_page_file(code_page_file(state_), {chosen->first, chosen->second});
    });
}

void Tmdi_glk::show_code_pages() {
    code_pages_label_->setText(
        QStringLiteral("DOS %1 - Windows %2").arg(state_.pages.oem).arg(state_.pages.ansi));
}

void Tmdi_glk::show_help(const QString& topic) {
    dialogs_.show_help(from_file_name(help_file(state_)), topic,
                       QString::fromStdString(state_.LanguageCode));
}

void Tmdi_glk::mnu_hinClick() {
    show_help(QStringLiteral("Sommaire"));
}

void Tmdi_glk::mnu_habClick() {
    dialogs_.notice(from_cp1252(state_.texts.lng_product),
                    from_cp1252(state_.texts.lng_about_version));
}

void Tmdi_glk::open_link(const std::string& link) {
    dialogs_.notice(from_cp1252(state_.texts.lng_product), from_cp1252(state_.texts.lng_link_hint));
    dialogs_.open_link(link_address(link, state_.pages));
}

void Tmdi_glk::mnu_hauthClick() {
    open_link(state_.links.auth);
}
void Tmdi_glk::mnu_hglkhClick() {
    open_link(state_.links.glkh);
}
void Tmdi_glk::mnu_hmailClick() {
    open_link(state_.links.mail);
}

}  // namespace glossek
