#include "gui/general_data_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <optional>

#include "conversion/commands.h"
#include "conversion/engine.h"
#include "conversion/start_up.h"
#include "gui/form_page.h"
#include "gui/qt_text.h"
#include "lang/messages.h"

namespace glossek {

namespace {

constexpr auto kInputFilter = " (*.txt)|*.TXT";
constexpr int kStopWidth = 81;
constexpr int kStopGap = 8;

// What the Go command shows while the engine runs: the result lines and the progress bar,
// repainted at once. A few times a second the window answers its Cancel button (and
// Escape); the rest of the time the conversion has the thread to itself.
class GoObserver : public GenerateObserver {
public:
    GoObserver(LineView& viewer, QProgressBar& bar, const CodePagePair& pages, const bool& stop)
        : lines_(viewer, pages), bar_(bar), stop_(stop) {
        clock_.start();
    }
    void result_line(std::string_view line) override { lines_.add(line); }
    ~GoObserver() override {
        // The bar ends at the last position reached, painted or not.
        if (shown_ != position_) {
            bar_.setValue(position_);
        }
    }
    void progress(int position) override {
        position_ = position;
        // Moved and painted at once, but not more often than a screen would show (the first
        // line's look at the events paints it first).
        if (painted_.isValid() && painted_.elapsed() >= 20) {
            show_position();
        }
    }
    bool stop_requested() override {
        // The clock is read every 256 lines only: a million short lines stay cheap. The
        // first line shows the bar and the button at once.
        ++lines_seen_;
        if (lines_seen_ == 1 || ((lines_seen_ & 0xFF) == 0 && clock_.elapsed() >= 100)) {
            bar_.setValue(position_);
            shown_ = position_;
            QCoreApplication::processEvents();  // paints the bar too
            painted_.start();
            clock_.restart();
        }
        return stop_;
    }

private:
    void show_position() {
        bar_.setValue(position_);
        shown_ = position_;
        bar_.repaint();
        painted_.start();
    }

    ViewerFill lines_;
    QProgressBar& bar_;
    const bool& stop_;
    QElapsedTimer clock_;
    QElapsedTimer painted_;
    unsigned lines_seen_ = 0;
    int position_ = 0;  // where the engine is
    int shown_ = 0;     // where the bar is
};

}  // namespace

Tfrm_gen::Tfrm_gen(WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("frm_gen"));
    page_ = new FormPage(this, QSize(688, 453), QSize(650, 390));
    lbl_inp = page_->place<QLabel>("lbl_inp", {48, 32, 110, 21});
    lbl_out = page_->place<QLabel>("lbl_out", {48, 72, 110, 21});
    txt_inp = page_->place<QLineEdit>("txt_inp", {160, 32, 457, 21});
    txt_out = page_->place<QLineEdit>("txt_out", {160, 72, 457, 21});
    // The frame is drawn around the radio buttons, which stay siblings on the window.
    cdr_oem = page_->place<QGroupBox>("cdr_oem", {48, 168, 329, 129});
    opt_win = page_->place<QRadioButton>("opt_win", {56, 192, 313, 21});
    opt_dos = page_->place<QRadioButton>("opt_dos", {56, 224, 313, 21});
    opt_xtf = page_->place<QRadioButton>("opt_xtf", {56, 256, 313, 21});
    gge_progress = page_->place<QProgressBar>("gge_progress", {48, 352, 593, 25});
    cmd_stop = page_->place<QPushButton>("cmd_stop", {560, 352, kStopWidth, 25});
    page_->on_growth([this](int dx, int) {
        txt_inp->resize(457 + dx, txt_inp->height());
        txt_out->resize(457 + dx, txt_out->height());
        const int span = 593 + dx;
        const int bar = cmd_stop->isVisible() ? span - kStopWidth - kStopGap : span;
        gge_progress->resize(bar, gge_progress->height());
        cmd_stop->move(48 + span - kStopWidth, cmd_stop->y());
    });

    gge_progress->setRange(0, 100);
    gge_progress->setValue(0);
    // A plain bar, as the classic control draws it: no percentage text and no gradients
    // to lay out and paint each time the position moves during a conversion.
    gge_progress->setTextVisible(false);
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(gge_progress);
        gge_progress->setStyle(plain);
    }
    gge_progress->hide();
    cmd_stop->hide();
    connect(cmd_stop, &QPushButton::clicked, this, &Tfrm_gen::request_stop);
    // Escape anywhere in the window stops a running Go, as the button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (cmd_stop->isVisible()) {
            request_stop();
        }
    });

    lbl_inp->setBuddy(txt_inp);
    lbl_out->setBuddy(txt_out);
    cdr_oem->setFocusPolicy(Qt::NoFocus);
    opt_win->setChecked(true);

    setTabOrder(txt_inp, txt_out);
    setTabOrder(txt_out, opt_win);
    setTabOrder(opt_win, opt_dos);
    setTabOrder(opt_dos, opt_xtf);
    setTabOrder(opt_xtf, cmd_stop);
    // Shown, the window gives the focus to its first control.
    setFocusProxy(txt_inp);
}

ConversionWay Tfrm_gen::way() const {
    if (opt_dos->isChecked()) {
        return ConversionWay::WindowsToDos;
    }
    if (opt_xtf->isChecked()) {
        return ConversionWay::AuxiliaryTable;
    }
    return ConversionWay::DosToWindows;
}

void Tfrm_gen::select_way(ConversionWay way) {
    switch (way) {
        case ConversionWay::DosToWindows:
            opt_win->setChecked(true);
            break;
        case ConversionWay::WindowsToDos:
            opt_dos->setChecked(true);
            break;
        case ConversionWay::AuxiliaryTable:
            opt_xtf->setChecked(true);
            break;
    }
}

std::string Tfrm_gen::typed_name(const QLineEdit* box) const {
    return absolute_name(to_file_name(box->text()), services_.state().StartDir);
}

void Tfrm_gen::FormCreate(const CommandLineJob& command) {
    AppState& state = services_.state();
    opt_win->setChecked(true);
    CommandLineJob without_run = command;
    without_run.run = false;
    StartUpResult result;
    if (!services_.guarded([&] { result = apply_command_line(state, without_run); })) {
        return;
    }
    select_way(state.way);
    txt_inp->setText(from_file_name(state.job.InputName));
    txt_out->setText(from_file_name(state.job.OutputName));
    switch (result.step) {
        case StartUpResult::Step::TableMissing:
            services_.dialogs().message(from_cp1252(state.texts.lng_product),
                                        joined(shown_name(state.job.TableName),
                                               from_cp1252(state.texts.lng_table_file_halted)));
            break;
        case StartUpResult::Step::TableRefused:
            services_.show_error(result.table_error);
            break;
        default:
            if (command.table_given) {
                emit tableLoaded(result.table_rows);
            }
            // A file alone on the command line (the desktop's "Open with") is taken as
            // File, Input takes it, so that Go works at once.
            if (!state.job.InputName.empty() && state.job.OutputName.empty()) {
                take_input(from_file_name(state.job.InputName));
            }
            break;
    }
    services_.ShowChild(Child::GeneralData);
}

void Tfrm_gen::mnu_finClick() {
    services_.ShowChild(Child::GeneralData);
    const LanguageTexts& texts = services_.state().texts;
    const QList<FileFilter> filters = {
        parse_filter(QString::fromLatin1(kInputFilter)),
        {from_cp1252(texts.lng_all_files), QStringLiteral("*")},
    };
    std::optional<QString> chosen =
        services_.dialogs().open_file(services_.dialog_folder(), filters);
    if (!chosen) {
        return;
    }
    services_.remember_folder(*chosen);
    take_input(*chosen);
}

void Tfrm_gen::take_input(const QString& chosen) {
    services_.guarded([&] {
        ConversionJob& job = services_.state().job;
        job.InputName = to_file_name(chosen);
        txt_inp->setText(chosen);
        job.OutputName = proposed_output_name(job.InputName);
        txt_out->setText(from_file_name(job.OutputName));
        LoadInputView();
        services_.enable_viewer(Child::InputViewer);
    });
}

void Tfrm_gen::LoadInputView() {
    LineView& viewer = services_.viewer(Child::InputViewer);
    viewer.clear();
    ViewerFill lines(viewer, services_.state().pages);
    read_input_view(services_.state().job, [&lines](std::string_view line) { lines.add(line); });
}

void Tfrm_gen::show_progress(bool shown) {
    if (shown) {
        gge_progress->setValue(0);
    }
    gge_progress->setVisible(shown);
}

void Tfrm_gen::set_job_controls_enabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{txt_inp, txt_out, opt_win, opt_dos, opt_xtf}) {
        control->setEnabled(enabled);
    }
}

void Tfrm_gen::mnu_fgoClick() {
    services_.ShowChild(Child::GeneralData);
    LineView& result_view = services_.viewer(Child::ResultViewer);
    result_view.clear();
    AppState& state = services_.state();
    ConversionJob& job = state.job;
    job.InputName = typed_name(txt_inp);
    job.OutputName = typed_name(txt_out);
    const LanguageTexts& texts = state.texts;
    const QString title = from_cp1252(texts.lng_product);

    const GoDecision decision = decide_go(job);
    const std::string* refusal = nullptr;
    switch (decision.refusal) {
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
        services_.dialogs().message(title, from_cp1252(*refusal));
        return;
    }
    if (decision.ask_overwrite &&
        !services_.dialogs().question(
            title, joined(shown_name(job.OutputName), from_cp1252(texts.lng_output_exists)))) {
        return;
    }
    if (decision.input_exists) {
        show_progress(true);
        cmd_stop->show();
        page_->arrange();  // the bar makes room for the button
    }
    // Everything but the bar and its Cancel button is out of reach until the engine ends.
    stop_requested_ = false;
    services_.lock_commands(true);
    set_job_controls_enabled(false);
    if (cmd_stop->isVisible()) {
        cmd_stop->setFocus();
    }
    bool stopped = false;
    LossyCount lossy;
    const bool converted = services_.guarded([&] {
        try {
            GoObserver observer(result_view, *gge_progress, state.pages, stop_requested_);
            if (Generate(job, way(), state.table, state.pages, &observer, &lossy) ==
                GenerateOutcome::InputMissing) {
                services_.dialogs().message(
                    title, joined(shown_name(job.InputName), from_cp1252(texts.lng_input_missing)));
            }
        } catch (const ConversionStopped&) {
            stopped = true;
        }
    });
    set_job_controls_enabled(true);
    services_.lock_commands(false);
    cmd_stop->hide();
    page_->arrange();
    txt_inp->setFocus();
    if (!converted) {
        return;  // the bar stays as the error left it; View result is not enabled
    }
    if (stopped) {
        // Nothing was written: the result viewer would show lines of no file.
        result_view.clear();
        show_progress(false);
        services_.dialogs().message(
            title, joined(from_cp1252(texts.lng_generation_stopped), shown_name(job.OutputName)));
        return;
    }
    if (decision.input_exists) {
        QString done = joined(from_cp1252(texts.lng_generation_done), shown_name(job.OutputName));
        if (lossy.characters > 0) {
            done = joined(done, from_cp1252(lossy_text(lossy.characters, lossy.first_line, texts)));
        }
        services_.dialogs().message(title, done);
    }
    show_progress(false);
    services_.enable_viewer(Child::ResultViewer);
}

}  // namespace glossek
