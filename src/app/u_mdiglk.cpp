#include "app/u_mdiglk.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringDecoder>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/batch.h"
#include "app/child_window.h"
#include "app/link_config.h"
#include "app/qt_text.h"
#include "app/side_files.h"
#include "app/u_wre.h"
#include "app/u_wvi.h"
#include "conversion/commands.h"
#include "conversion/engine.h"
#include "conversion/replace.h"
#include "conversion/text_file.h"
#include "conversion/u_gen.h"
#include "lang/apply_language.h"
#include "lang/messages.h"
#include "lang/switch_language.h"
#include "lang/texts.h"
#include "table/table_file.h"
#include "table/u_tcv.h"

namespace glossek {

namespace {

constexpr auto kInputFilter = " (*.txt)|*.TXT";
constexpr auto kRecallFilter = "Glossek conversion (*.glk) | *.GLK";
constexpr auto kSaveFilter = "GLK conversion (*. glk)|*.glk";
constexpr auto kHelpFileName = "GLK32.HLP";

// What the Go command shows while the engine runs: the result lines and the progress bar,
// repainted at once because no other event is handled until the engine returns.
class GoObserver : public GenerateObserver {
public:
    GoObserver(Tfrm_wre& viewer, QProgressBar& bar, const CodePagePair& pages)
        : lines_(viewer, pages), bar_(bar) {}
    void result_line(std::string_view line) override { lines_.add(line); }
    void progress(int position) override {
        bar_.setValue(position);
        bar_.repaint();
    }

private:
    ViewerFill lines_;
    QProgressBar& bar_;
};

QAction* add_item(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

// Link files written on this system are UTF-8; older ones are in the ANSI code page.
QString link_address(const std::string& bytes, const CodePagePair& pages) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString address = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? from_ansi_page(bytes, pages) : address;
}

QMenu* add_menu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

Tmdi_glk::Tmdi_glk(AppState& state, Dialogs& dialogs, const QString& program_path)
    : state_(state),
      dialogs_(dialogs),
      app_title_(from_file_name(glossek::application_title(to_file_name(program_path)))),
      mdi_(new QMdiArea(this)),
      code_pages_label_(new QLabel(this)) {
    setObjectName(QStringLiteral("mdi_glk"));
    setWindowTitle(QStringLiteral("Glossek 3.12"));
    setGeometry(128, 147, 695, 480);
    mdi_->setObjectName(QStringLiteral("mdi_area"));
    setCentralWidget(mdi_);
    code_pages_label_->setObjectName(QStringLiteral("lbl_codepages"));
    statusBar()->addPermanentWidget(code_pages_label_);
    build_menu();
    // Menu shortcuts come before the keys of the control that has the focus (Ctrl+A is a
    // window command here, not "select all" in the name box).
    QApplication::instance()->installEventFilter(this);
    FormCreate();
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
    pdn_file = add_menu(bar, "pdn_file", QStringLiteral("&File"));
    mnu_fin = add_item(pdn_file, "mnu_fin", QStringLiteral("&Input"),
                       QKeySequence(Qt::CTRL | Qt::Key_F12));
    mnu_fou = add_item(pdn_file, "mnu_fou", QStringLiteral("&Output"));
    mnu_fgo = add_item(pdn_file, "mnu_fgo", QStringLiteral("&Go"), QKeySequence(Qt::Key_F2));
    mnu_fex = add_item(pdn_file, "mnu_fex", QStringLiteral("E&xit"));

    pdn_tcv = add_menu(bar, "pdn_tcv", QStringLiteral("Au&xiliary conversion"));
    Recallfile1 = add_item(pdn_tcv, "Recallfile1", QStringLiteral("Recall file"));
    Savefileas1 = add_item(pdn_tcv, "Savefileas1", QStringLiteral("Save file as"));

    pdn_win = add_menu(bar, "pdn_win", QStringLiteral("&Window"));
    mnu_wge = add_item(pdn_win, "mnu_wge", QStringLiteral("General data"),
                       QKeySequence(Qt::CTRL | Qt::Key_G));
    Otherconversiondetails1 =
        add_item(pdn_win, "Otherconversiondetails1", QStringLiteral("Auxiliary conversion details"),
                 QKeySequence(Qt::CTRL | Qt::Key_A));
    mnu_wvi = add_item(pdn_win, "mnu_wvi", QStringLiteral("View input file"),
                       QKeySequence(Qt::CTRL | Qt::Key_I));
    mnu_wre = add_item(pdn_win, "mnu_wre", QStringLiteral("View result"),
                       QKeySequence(Qt::CTRL | Qt::Key_R));
    mnu_wvi->setEnabled(false);
    mnu_wre->setEnabled(false);

    pdn_opt = add_menu(bar, "pdn_opt", QStringLiteral("&Options"));
    mnu_olg = pdn_opt->addMenu(QStringLiteral("Language"));
    mnu_olg->setObjectName(QStringLiteral("mnu_olg"));
    mnu_US = add_item(mnu_olg, "mnu_US", QStringLiteral("English"));
    mnu_FR = add_item(mnu_olg, "mnu_FR", QStringLiteral("French"));

    pdn_hlp = add_menu(bar, "pdn_hlp", QStringLiteral("&Help"));
    mnu_hin = add_item(pdn_hlp, "mnu_hin", QStringLiteral("&Index"), QKeySequence(Qt::Key_F1));
    mnu_hab = add_item(pdn_hlp, "mnu_hab", QStringLiteral("&About"));
    mnu_hauth = add_item(pdn_hlp, "mnu_hauth", QStringLiteral("Author's web page"));
    mnu_hglkh = add_item(pdn_hlp, "mnu_hglkh", QStringLiteral("Program's web page"));
    mnu_hmail = add_item(pdn_hlp, "mnu_hmail", QStringLiteral("Mail to author"));

    connect(mnu_fin, &QAction::triggered, this, &Tmdi_glk::mnu_finClick);
    connect(mnu_fgo, &QAction::triggered, this, &Tmdi_glk::mnu_fgoClick);
    connect(mnu_fex, &QAction::triggered, this, &Tmdi_glk::mnu_fexClick);
    connect(Recallfile1, &QAction::triggered, this, &Tmdi_glk::Recallfile1Click);
    connect(Savefileas1, &QAction::triggered, this, &Tmdi_glk::Savefileas1Click);
    connect(mnu_wge, &QAction::triggered, this, &Tmdi_glk::mnu_wgeClick);
    connect(Otherconversiondetails1, &QAction::triggered, this,
            &Tmdi_glk::Otherconversiondetails1Click);
    connect(mnu_wvi, &QAction::triggered, this, &Tmdi_glk::mnu_wviClick);
    connect(mnu_wre, &QAction::triggered, this, &Tmdi_glk::mnu_wreClick);
    connect(mnu_US, &QAction::triggered, this, &Tmdi_glk::mnu_USClick);
    connect(mnu_FR, &QAction::triggered, this, &Tmdi_glk::mnu_FRClick);
    connect(mnu_hin, &QAction::triggered, this, &Tmdi_glk::mnu_hinClick);
    connect(mnu_hab, &QAction::triggered, this, &Tmdi_glk::mnu_habClick);
    connect(mnu_hauth, &QAction::triggered, this, &Tmdi_glk::mnu_hauthClick);
    connect(mnu_hglkh, &QAction::triggered, this, &Tmdi_glk::mnu_hglkhClick);
    connect(mnu_hmail, &QAction::triggered, this, &Tmdi_glk::mnu_hmailClick);
}

void Tmdi_glk::FormCreate() {
    // The program's folder is already the current one (start-up moved there before the
    // command line's relative names were made absolute).
    dialog_folder = from_file_name(state_.ProgramDir);
    // Last: an unreadable link file is reported and the start goes on.
    guarded([&] { read_link_config(link_config_file(state_), state_.links); });
}

ChildWindow* Tmdi_glk::add_child(QWidget* child, bool minimised) {
    auto* window = new ChildWindow(mdi_);
    window->setObjectName(child->objectName() + QStringLiteral("_window"));
    window->setWidget(child);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(child->windowTitle());
    mdi_->addSubWindow(window);
    if (minimised) {
        window->showMinimized();
    } else {
        window->show();
    }
    return window;
}

void Tmdi_glk::create_children() {
    frm_tcv = new Tfrm_tcv(*this);
    add_child(frm_tcv, true);
    frm_wvi = new Tfrm_wvi;
    add_child(frm_wvi, false);
    frm_wre = new Tfrm_wre;
    add_child(frm_wre, false);
    frm_gen = new Tfrm_gen(*this);
    add_child(frm_gen, false);
}

ChildWindow* Tmdi_glk::child_window_of(QWidget* child) const {
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (window->widget() == child) {
            return static_cast<ChildWindow*>(window);
        }
    }
    return nullptr;
}

void Tmdi_glk::ShowChild(QWidget* child) {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        (*it)->showMinimized();
    }
    if (ChildWindow* window = child_window_of(child)) {
        window->showMaximized();
        mdi_->setActiveSubWindow(window);
    }
}

void Tmdi_glk::mnu_wgeClick() {
    ShowChild(frm_gen);
}
void Tmdi_glk::Otherconversiondetails1Click() {
    ShowChild(frm_tcv);
}
void Tmdi_glk::mnu_wviClick() {
    ShowChild(frm_wvi);
}
void Tmdi_glk::mnu_wreClick() {
    ShowChild(frm_wre);
}

void Tmdi_glk::mnu_fexClick() {
    close();
}

void Tmdi_glk::closeEvent(QCloseEvent* event) {
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
            text = joined(QString::fromStdString(printable_name(message.file)), text);
        }
        for (const std::string& name : message.listed) {
            text += QStringLiteral("\n\r") + QString::fromStdString(printable_name(name));
        }
    } catch (...) {
        text = QStringLiteral("Unexpected error.");
    }
    dialogs_.error(app_title_, text);
}

void Tmdi_glk::load_language() {
    glossek::load_language(state_);
    apply_language(*this);
}

void Tmdi_glk::load_code_pages() {
    try {
        state_.pages = code_pages_from_environment();
    } catch (const CodePageError& error) {
        // Said, not silently replaced: the user learns which pages exist, and the locale's
        // own pair stays in force for this run.
        dialogs_.message(from_cp1252(state_.texts.lng_product), QString::fromUtf8(error.what()));
        state_.pages = code_pages_from_environment([](const char* name) -> const char* {
            const std::string_view variable(name);
            return variable == "GLOSSEK_OEMCP" || variable == "GLOSSEK_ANSICP" ? nullptr
                                                                               : std::getenv(name);
        });
    }
    show_code_pages();
}

void Tmdi_glk::show_code_pages() {
    code_pages_label_->setText(
        QStringLiteral("DOS %1 - Windows %2").arg(state_.pages.oem).arg(state_.pages.ansi));
}

void Tmdi_glk::mnu_finClick() {
    ShowChild(frm_gen);
    std::optional<QString> chosen =
        dialogs_.open_file(dialog_folder, parse_filter(QString::fromLatin1(kInputFilter)));
    if (!chosen) {
        return;
    }
    guarded([&] {
        ConversionJob& job = state_.job;
        job.InputName = to_file_name(*chosen);
        frm_gen->txt_inp->setText(*chosen);
        job.OutputName = proposed_output_name(job.InputName);
        frm_gen->txt_out->setText(from_file_name(job.OutputName));
        LoadInputView();
        mnu_wvi->setEnabled(true);
    });
}

void Tmdi_glk::LoadInputView() {
    frm_wvi->clear();
    ViewerFill lines(*frm_wvi, state_.pages);
    read_input_view(state_.job, [&lines](std::string_view line) { lines.add(line); });
}

void Tmdi_glk::mnu_fgoClick() {
    ShowChild(frm_gen);
    frm_wre->clear();
    ConversionJob& job = state_.job;
    job.InputName = to_file_name(frm_gen->txt_inp->text());
    job.OutputName = to_file_name(frm_gen->txt_out->text());
    const LanguageTexts& texts = state_.texts;
    const QString title = from_cp1252(texts.lng_product);

    const std::string* refusal = nullptr;
    switch (check_go_names(job)) {
        case GoRefusal::OutputUnnamed:
            refusal = &texts.lng_output_unnamed;
            break;
        case GoRefusal::SameInputTable:
            refusal = &texts.lng_same_input_table;
            break;
        case GoRefusal::SameOutputTable:
            refusal = &texts.lng_same_output_table;
            break;
        case GoRefusal::SameInputOutput:
            refusal = &texts.lng_same_input_output;
            break;
        case GoRefusal::None:
            break;
    }
    if (refusal != nullptr) {
        dialogs_.message(title, from_cp1252(*refusal));
        return;
    }
    if (file_exists(job.OutputName) &&
        !dialogs_.question(
            title, joined(from_file_name(job.OutputName), from_cp1252(texts.lng_output_exists)))) {
        return;
    }
    if (file_exists(job.InputName)) {
        frm_gen->gge_progress->setValue(0);
        frm_gen->gge_progress->show();
    }
    bool converted = guarded([&] {
        GoObserver observer(*frm_wre, *frm_gen->gge_progress, state_.pages);
        if (Generate(job, frm_gen->way(), state_.table, state_.pages, &observer) ==
            GenerateOutcome::InputMissing) {
            dialogs_.message(
                title, joined(from_file_name(job.InputName), from_cp1252(texts.lng_input_missing)));
        }
    });
    if (!converted) {
        return;  // the bar stays as the error left it; View result is not enabled
    }
    if (file_exists(job.InputName)) {
        dialogs_.message(
            title, joined(from_cp1252(texts.lng_generation_done), from_file_name(job.OutputName)));
    }
    frm_gen->gge_progress->hide();
    mnu_wre->setEnabled(true);
}

void Tmdi_glk::Recallfile1Click() {
    std::optional<QString> chosen =
        dialogs_.open_file(dialog_folder, parse_filter(QString::fromLatin1(kRecallFilter)));
    if (!chosen) {
        return;
    }
    guarded([&] {
        // The name becomes the table's only once the file has been read whole: a refused
        // or unreadable file leaves the table, its name and the grid as they were.
        ConversionJob& job = state_.job;
        const std::string previous = job.TableName;
        job.TableName = to_file_name(*chosen);
        std::vector<TableRow> rows;
        try {
            rows = load_table_file(job, state_.table);
        } catch (...) {
            job.TableName = previous;
            throw;
        }
        frm_tcv->show_table(rows);
        if (!child_window_of(frm_tcv)->isMaximized()) {
            ShowChild(frm_tcv);
        }
        frm_tcv->txt_tcv->setText(*chosen);
        frm_gen->opt_xtf->setChecked(true);
    });
}

void Tmdi_glk::Savefileas1Click() {
    std::optional<QString> chosen = dialogs_.save_file(
        dialog_folder, parse_filter(QString::fromLatin1(kSaveFilter)), QStringLiteral("glk"));
    if (!chosen) {
        return;
    }
    guarded([&] {
        ConversionJob& job = state_.job;
        save_table_file(job.TableFile, to_file_name(*chosen), job.Notation,
                        frm_tcv->editor().rows());
        frm_tcv->txt_tcv->setText(from_file_name(job.TableName));
    });
}

void Tmdi_glk::mnu_USClick() {
    guarded([&] { switch_language(*this, kLanguageEnglish); });
}

void Tmdi_glk::mnu_FRClick() {
    guarded([&] { switch_language(*this, kLanguageFrench); });
}

void Tmdi_glk::show_help(const QString& topic) {
    help_file = from_file_name(state_.ProgramDir + kHelpFileName);
    dialogs_.show_help(help_file, topic);
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
