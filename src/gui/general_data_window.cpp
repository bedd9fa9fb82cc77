// SPDX-License-Identifier: MIT
#include "gui/general_data_window.h"

#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <optional>

#include "app/start_up.h"
#include "conversion/input_view.h"
#include "files/file_names.h"
#include "gui/form_page.h"
#include "gui/go_observer.h"
#include "gui/qt_text.h"
#include "gui/reading_line.h"
#include "lang/messages.h"
#include "lang/readings.h"

namespace glossek {

namespace {

constexpr auto kInputFilter = " (*.txt)|*.TXT";
constexpr int kStopWidth = 81;
constexpr int kStopGap = 8;

}  // namespace

GeneralDataWindow::GeneralDataWindow(WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("frm_gen"));
    place_controls();
    set_up_progress();
    input_label_->setBuddy(input_box_);
    output_label_->setBuddy(output_box_);
    way_group_->setFocusPolicy(Qt::NoFocus);
    dos_to_windows_button_->setChecked(true);

    setTabOrder(input_box_, output_box_);
    setTabOrder(output_box_, reading_line_->button());
    setTabOrder(reading_line_->button(), dos_to_windows_button_);
    setTabOrder(dos_to_windows_button_, windows_to_dos_button_);
    setTabOrder(windows_to_dos_button_, table_way_button_);
    setTabOrder(table_way_button_, cancel_button_);
    for (QRadioButton* button :
         {dos_to_windows_button_, windows_to_dos_button_, table_way_button_}) {
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                show_input_page();
            }
        });
    }
    // A name typed is another file: what the line said no longer holds; Go reads it again.
    connect(input_box_, &QLineEdit::textEdited, reading_line_, &ReadingLine::clear);
    // Shown, the window gives the focus to its first control.
    setFocusProxy(input_box_);
}

void GeneralDataWindow::place_controls() {
    page_ = new FormPage(this, QSize(688, 453), QSize(650, 390));
    input_label_ = page_->place<QLabel>("lbl_inp", {48, 32, 110, 21});
    output_label_ = page_->place<QLabel>("lbl_out", {48, 72, 110, 21});
    input_box_ = page_->place<QLineEdit>("txt_inp", {160, 32, 457, 21});
    output_box_ = page_->place<QLineEdit>("txt_out", {160, 72, 457, 21});
    reading_line_ = new ReadingLine(*page_, services_);
    // The frame is drawn around the radio buttons, which stay siblings on the window.
    way_group_ = page_->place<QGroupBox>("cdr_oem", {48, 168, 329, 129});
    dos_to_windows_button_ = page_->place<QRadioButton>("opt_win", {56, 192, 313, 21});
    windows_to_dos_button_ = page_->place<QRadioButton>("opt_dos", {56, 224, 313, 21});
    table_way_button_ = page_->place<QRadioButton>("opt_xtf", {56, 256, 313, 21});
    progress_bar_ = page_->place<QProgressBar>("gge_progress", {48, 352, 593, 25});
    cancel_button_ = page_->place<QPushButton>("cmd_stop", {560, 352, kStopWidth, 25});
    page_->on_growth([this](int dx, int) {
        input_box_->resize(457 + dx, input_box_->height());
        output_box_->resize(457 + dx, output_box_->height());
        reading_line_->resize(457 + dx);
        const int span = 593 + dx;
        const int bar = cancel_button_->isVisible() ? span - kStopWidth - kStopGap : span;
        progress_bar_->resize(bar, progress_bar_->height());
        cancel_button_->move(48 + span - kStopWidth, cancel_button_->y());
    });
}

void GeneralDataWindow::set_up_progress() {
    progress_bar_->setRange(0, 100);
    progress_bar_->setValue(0);
    // A plain bar, as the classic control draws it: no percentage text and no gradients
    // to lay out and paint each time the position moves during a conversion.
    progress_bar_->setTextVisible(false);
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(progress_bar_);
        progress_bar_->setStyle(plain);
    }
    progress_bar_->hide();
    cancel_button_->hide();
    connect(cancel_button_, &QPushButton::clicked, this, &GeneralDataWindow::request_stop);
    // Escape anywhere in the window stops a running Go, as the button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (cancel_button_->isVisible()) {
            request_stop();
        }
    });
}

ConversionWay GeneralDataWindow::way() const {
    if (windows_to_dos_button_->isChecked()) {
        return ConversionWay::WindowsToDos;
    }
    if (table_way_button_->isChecked()) {
        return ConversionWay::AuxiliaryTable;
    }
    return ConversionWay::DosToWindows;
}

void GeneralDataWindow::select_way(ConversionWay way) {
    switch (way) {
        case ConversionWay::DosToWindows:
            dos_to_windows_button_->setChecked(true);
            break;
        case ConversionWay::WindowsToDos:
            windows_to_dos_button_->setChecked(true);
            break;
        case ConversionWay::AuxiliaryTable:
            table_way_button_->setChecked(true);
            break;
    }
}

std::string GeneralDataWindow::typed_name(const QLineEdit* box) const {
    return absolute_name(to_file_name(box->text()), services_.state().start_dir);
}

void GeneralDataWindow::start(const CommandLineJob& command) {
    AppState& state = services_.state();
    dos_to_windows_button_->setChecked(true);
    CommandLineJob without_run = command;
    without_run.run = false;
    StartUpResult result;
    if (!services_.guarded([&] { result = apply_command_line(state, without_run); })) {
        return;
    }
    select_way(state.way);
    input_box_->setText(from_file_name(state.job.input_name));
    output_box_->setText(from_file_name(state.job.output_name));
    switch (result.step) {
        case StartUpResult::Step::TableMissing:
            services_.dialogs().message(from_cp1252(state.texts.lng_product),
                                        joined(shown_name(state.job.table_name),
                                               from_cp1252(state.texts.lng_table_file_halted)));
            break;
        case StartUpResult::Step::TableRefused:
            services_.show_error(result.table_error);
            break;
        default:
            if (command.table_given) {
                emit table_loaded(result.table_rows);
            }
            break;
    }
    // A file alone on the command line (the desktop's "Open with") is taken as File, Input
    // takes it, so that Go works at once; with an output named too, the input is shown.
    if (!state.job.input_name.empty() && state.job.output_name.empty()) {
        take_input(from_file_name(state.job.input_name));
    } else if (file_exists(state.job.input_name)) {
        services_.guarded([&] { show_input(); });
    }
    services_.show_child(Child::GeneralData);
}

void GeneralDataWindow::choose_input() {
    services_.show_child(Child::GeneralData);
    const LanguageTexts& texts = services_.state().texts;
    const QList<FileFilter> filters = {
        parse_filter(QString::fromLatin1(kInputFilter)),
        {from_cp1252(texts.lng_all_files), QStringLiteral("*")},
    };
    if (std::optional<QString> chosen = services_.dialogs().open_file(filters)) {
        take_input(*chosen);
    }
}

void GeneralDataWindow::take_input(const QString& chosen) {
    services_.guarded([&] {
        ConversionJob& job = services_.state().job;
        job.input_name = to_file_name(chosen);
        input_box_->setText(chosen);
        job.output_name = proposed_output_name(job.input_name);
        output_box_->setText(from_file_name(job.output_name));
        show_input();
    });
}

void GeneralDataWindow::show_input() {
    LineView& viewer = services_.viewer(Child::InputViewer);
    viewer.clear();
    reading_line_->clear();
    {
        ViewerFill lines(viewer, viewer_page(input_page(way())));
        read_input_view(services_.state().job,
                        [&lines](std::string_view line) { lines.add(line); });
    }
    services_.enable_viewer(Child::InputViewer);
    reading_line_->identify(services_.state().job.input_name);
}

void GeneralDataWindow::show_input_page() {
    services_.viewer(Child::InputViewer).show_page(viewer_page(input_page(way())));
    reading_line_->show_again();
}

ViewerPage GeneralDataWindow::viewer_page(PageSide side) const {
    const AppState& state = services_.state();
    return {side, state.pages, from_cp1252(page_name(side, state.pages, state.texts))};
}

void GeneralDataWindow::show_input_missing() {
    const AppState& state = services_.state();
    services_.dialogs().message(
        from_cp1252(state.texts.lng_product),
        joined(shown_name(state.job.input_name), from_cp1252(state.texts.lng_input_missing)));
}

void GeneralDataWindow::show_progress(bool shown) {
    if (shown) {
        progress_bar_->setValue(0);
    }
    progress_bar_->setVisible(shown);
}

void GeneralDataWindow::set_job_controls_enabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{input_box_, output_box_, dos_to_windows_button_,
                                         windows_to_dos_button_, table_way_button_}) {
        control->setEnabled(enabled);
    }
}

void GeneralDataWindow::go() {
    services_.show_child(Child::GeneralData);
    LineView& result_view = services_.viewer(Child::ResultViewer);
    result_view.clear();
    ConversionJob& job = services_.state().job;
    job.input_name = typed_name(input_box_);
    job.output_name = typed_name(output_box_);
    const GoDecision decision = decide_go(job);
    if (!may_go(decision)) {
        return;
    }
    const GoResult result = run_conversion(result_view);
    end_go(result, result_view);
}

bool GeneralDataWindow::may_go(const GoDecision& decision) {
    const AppState& state = services_.state();
    const QString title = from_cp1252(state.texts.lng_product);
    if (decision.refusal != GoRefusal::None) {
        services_.dialogs().message(title,
                                    from_cp1252(refusal_text(decision.refusal, state.texts)));
        return false;
    }
    if (!decision.input_exists) {
        // Said at once, before any question, with the window usable behind it.
        show_input_missing();
        services_.enable_viewer(Child::ResultViewer);
        return false;
    }
    // What the input reads as, on the line under its box, and a question first when the way
    // would do it harm: No unless the user says otherwise.
    const std::optional<FileReading> reading = reading_line_->identify(state.job.input_name);
    if (reading && would_harm(*reading, way()) &&
        !services_.dialogs().question(title, from_cp1252(harm_question(*reading, state.texts)))) {
        return false;
    }
    return !decision.ask_overwrite ||
           services_.dialogs().question(title, joined(shown_name(state.job.output_name),
                                                      from_cp1252(state.texts.lng_output_exists)));
}

GeneralDataWindow::GoResult GeneralDataWindow::run_conversion(LineView& result_view) {
    AppState& state = services_.state();
    show_progress(true);
    cancel_button_->show();
    page_->arrange();  // the bar makes room for the button
    GoResult result;
    {
        // Everything but the bar and its Cancel button is out of reach until the engine ends.
        stop_requested_ = false;
        const CommandLock lock(services_);
        set_job_controls_enabled(false);
        cancel_button_->setFocus();
        result.converted = services_.guarded([&] {
            try {
                GoObserver observer(result_view, viewer_page(output_page(way())), *progress_bar_,
                                    stop_requested_);
                result.input_missing =
                    generate(state.job, way(), state.table, state.pages, &observer,
                             &result.lossy) == GenerateOutcome::InputMissing;
            } catch (const ConversionStopped&) {
                result.stopped = true;
            }
        });
        set_job_controls_enabled(true);
    }
    cancel_button_->hide();
    page_->arrange();
    input_box_->setFocus();
    return result;
}

void GeneralDataWindow::end_go(const GoResult& result, LineView& result_view) {
    if (!result.converted) {
        return;  // the bar stays as the error left it; View result is not enabled
    }
    const LanguageTexts& texts = services_.state().texts;
    const std::string& output = services_.state().job.output_name;
    const QString title = from_cp1252(texts.lng_product);
    if (result.stopped) {
        // Nothing was written: the result viewer would show lines of no file.
        result_view.clear();
        show_progress(false);
        services_.dialogs().message(
            title, joined(from_cp1252(texts.lng_generation_stopped), shown_name(output)));
        return;
    }
    if (result.input_missing) {
        show_input_missing();  // gone since Go looked for it
    } else {
        QString done = joined(from_cp1252(texts.lng_generation_done), shown_name(output));
        if (result.lossy.characters > 0) {
            done = joined(done, from_cp1252(lossy_text(result.lossy.characters,
                                                       result.lossy.first_line, texts)));
        }
        services_.dialogs().message(title, done);
    }
    show_progress(false);
    services_.enable_viewer(Child::ResultViewer);
}

}  // namespace glossek
