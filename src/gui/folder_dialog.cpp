// SPDX-License-Identifier: MIT
#include "gui/folder_dialog.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "files/file_names.h"
#include "gui/folder_report_window.h"
#include "gui/language.h"
#include "gui/qt_text.h"
#include "lang/captions.h"
#include "lang/folder_texts.h"
#include "lang/messages.h"

namespace glossek {

namespace {

// How often the window looks at a run: the bar moves and Cancel is answered at once, and
// the run's threads are never held up by the window.
constexpr int kTickMs = 50;

template <typename Widget>
Widget* named(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

FolderDialog::FolderDialog(WindowServices& services, QWidget* owner)
    : QDialog(owner), services_(services), report_(new FolderReportWindow(services, this)) {
    setObjectName(QStringLiteral("frm_folder"));
    setModal(true);
    place_controls();
    set_up_buttons();
    setTabOrder(input_box_, input_button_);
    setTabOrder(input_button_, output_box_);
    setTabOrder(output_box_, output_button_);
    setTabOrder(output_button_, go_button_);
    setTabOrder(go_button_, cancel_button_);
    setTabOrder(cancel_button_, close_button_);
    // A name typed or chosen is another input: the output proposed follows it.
    connect(input_box_, &QLineEdit::textEdited, this, &FolderDialog::propose_output);
    resize(640, sizeHint().height());
}

void FolderDialog::place_controls() {
    input_label_ = named<QLabel>(this, "lbl_fin");
    input_box_ = named<QLineEdit>(this, "txt_fin");
    input_button_ = named<QPushButton>(this, "cmd_fin");
    output_label_ = named<QLabel>(this, "lbl_fout");
    output_box_ = named<QLineEdit>(this, "txt_fout");
    output_button_ = named<QPushButton>(this, "cmd_fout");
    way_label_ = named<QLabel>(this, "lbl_fway");
    table_label_ = named<QLabel>(this, "lbl_ftable");
    table_label_->setWordWrap(true);
    progress_bar_ = named<QProgressBar>(this, "gge_fprogress");
    // The plain bar of General data's Go.
    progress_bar_->setTextVisible(false);
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(progress_bar_);
        progress_bar_->setStyle(plain);
    }
    input_label_->setBuddy(input_box_);
    output_label_->setBuddy(output_box_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(input_label_, 0, 0);
    grid->addWidget(input_box_, 0, 1);
    grid->addWidget(input_button_, 0, 2);
    grid->addWidget(output_label_, 1, 0);
    grid->addWidget(output_box_, 1, 1);
    grid->addWidget(output_button_, 1, 2);
    grid->addWidget(way_label_, 2, 0, 1, 3);
    grid->addWidget(table_label_, 3, 0, 1, 3);
    grid->addWidget(progress_bar_, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(4, 28);
}

void FolderDialog::set_up_buttons() {
    go_button_ = named<QPushButton>(this, "cmd_fgo");
    cancel_button_ = named<QPushButton>(this, "cmd_fstop");
    close_button_ = named<QPushButton>(this, "cmd_fclose");
    go_button_->setDefault(true);
    cancel_button_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(go_button_);
    buttons->addWidget(cancel_button_);
    buttons->addWidget(close_button_);
    static_cast<QGridLayout*>(layout())->addLayout(buttons, 5, 0, 1, 3);
    connect(input_button_, &QPushButton::clicked, this, &FolderDialog::choose_input);
    connect(output_button_, &QPushButton::clicked, this, &FolderDialog::choose_output);
    connect(go_button_, &QPushButton::clicked, this, &FolderDialog::go);
    connect(cancel_button_, &QPushButton::clicked, this, &FolderDialog::request_stop);
    connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
}

void FolderDialog::open_for(ConversionWay way, const QString& input, const QString& output) {
    way_ = way;
    const AppState& state = services_.state();
    apply_captions(*this, state.language_code);
    setWindowTitle(from_cp1252(caption_of("frm_folder", state.language_code)));
    if (!input.isEmpty()) {
        input_box_->setText(input);
        proposed_ = from_file_name(proposed_output_folder(to_file_name(input)));
        output_box_->setText(output.isEmpty() ? proposed_ : output);
    }
    show_way();
    progress_bar_->setRange(0, 100);
    progress_bar_->setValue(0);
    show();
    raise();
    activateWindow();
    input_box_->setFocus(Qt::OtherFocusReason);
    input_box_->selectAll();
}

void FolderDialog::show_way() {
    const AppState& state = services_.state();
    const char* option = way_ == ConversionWay::WindowsToDos     ? "opt_dos"
                         : way_ == ConversionWay::AuxiliaryTable ? "opt_xtf"
                                                                 : "opt_win";
    QString way = from_cp1252(caption_of(option, state.language_code));
    way.remove(QLatin1Char('&'));
    QString text = from_cp1252(state.texts.lng_folder_way);
    way_label_->setText(text.replace(QStringLiteral("%w"), way));
    const bool table = way_ == ConversionWay::AuxiliaryTable;
    table_label_->setVisible(table);
    if (table && state.job.table_name.empty()) {
        table_label_->setText(from_cp1252(state.texts.lng_folder_table_unsaved));
    } else if (table) {
        text = from_cp1252(state.texts.lng_folder_table);
        table_label_->setText(text.replace(QStringLiteral("%t"), shown_name(state.job.table_name)));
    }
}

void FolderDialog::choose_input() {
    if (const std::optional<QString> chosen = services_.dialogs().open_folder()) {
        input_box_->setText(*chosen);
        propose_output();
    }
}

void FolderDialog::choose_output() {
    if (const std::optional<QString> chosen = services_.dialogs().open_folder()) {
        output_box_->setText(*chosen);
    }
}

void FolderDialog::propose_output() {
    progress_bar_->setValue(0);  // the bar of the last run says nothing of this input
    const QString proposal =
        from_file_name(proposed_output_folder(to_file_name(input_box_->text())));
    if (output_box_->text().isEmpty() || output_box_->text() == proposed_) {
        output_box_->setText(proposal);
    }
    proposed_ = proposal;
}

std::string FolderDialog::typed_name(const QLineEdit* box) const {
    return absolute_name(to_file_name(box->text()), services_.state().start_dir);
}

void FolderDialog::reject() {
    if (running_) {
        request_stop();
        return;
    }
    QDialog::reject();
}

void FolderDialog::go() {
    const AppState& state = services_.state();
    FolderSettings settings;
    settings.input = typed_name(input_box_);
    settings.output = typed_name(output_box_);
    settings.way = way_;
    settings.table = &state.table;
    settings.pages = state.pages;
    if (refused(settings)) {
        return;
    }
    // The frame's commands are out of reach until the run has ended, however it ends.
    const CommandLock lock(services_);
    FolderSurvey survey;
    if (may_replace(settings, survey)) {
        run(settings, survey);
    }
}

bool FolderDialog::refused(const FolderSettings& settings) {
    const AppState& state = services_.state();
    const LanguageTexts& texts = state.texts;
    const QString title = from_cp1252(texts.lng_product);
    Dialogs& dialogs = services_.dialogs();
    if (settings.input.empty() || !is_folder(settings.input)) {
        const QString missing = from_cp1252(texts.lng_folder_input_missing);
        dialogs.message(
            title, settings.input.empty() ? missing : joined(shown_name(settings.input), missing));
        return true;
    }
    const FolderRefusal refusal = check_folders(settings.input, settings.output);
    if (refusal != FolderRefusal::None) {
        const QString text = from_cp1252(folder_refusal_text(refusal, texts));
        dialogs.message(title,
                        settings.output.empty() ? text : joined(shown_name(settings.output), text));
        return true;
    }
    // The table file would be replaced by a file of the tree converted over it.
    const std::string& table = state.job.table_name;
    if (settings.way == ConversionWay::AuxiliaryTable && !table.empty() &&
        check_folders(table, settings.output) == FolderRefusal::InputInsideOutput) {
        dialogs.message(title, joined(shown_name(table), from_cp1252(texts.lng_same_output_table)));
        return true;
    }
    return false;
}

bool FolderDialog::may_replace(const FolderSettings& settings, FolderSurvey& survey) {
    stop_ = false;
    set_running(true);
    // A large tree takes a moment to walk: the bar says the window is at work.
    progress_bar_->setRange(0, 0);
    const bool surveyed = services_.guarded([&] {
        wait_for([&] { survey = survey_folder(settings.input, settings.output, &stop_); }, [] {});
    });
    progress_bar_->setRange(0, 100);
    set_running(false);
    if (!surveyed || survey.stopped) {
        return false;
    }
    const LanguageTexts& texts = services_.state().texts;
    return survey.existing == 0 ||
           services_.dialogs().question(
               from_cp1252(texts.lng_product),
               joined(shown_name(settings.output),
                      from_cp1252(replace_question(survey.existing, texts))));
}

void FolderDialog::run(const FolderSettings& settings, const FolderSurvey& survey) {
    std::mutex mutex;
    std::vector<FolderFile> files;
    std::atomic<std::uint64_t> done{0};
    bool ended = false;
    stop_ = false;
    set_running(true);
    const bool ran = services_.guarded([&] {
        const auto report = [&](const FolderFile& file) {
            const std::lock_guard lock(mutex);
            files.push_back(file);
            done += file.bytes;
        };
        wait_for([&] { ended = run_folder(settings, report, &stop_); },
                 [&] { progress_bar_->setValue(progress_position(done, survey.bytes)); });
    });
    set_running(false);
    if (!ran) {
        return;  // the output folder could not be made: nothing was written
    }
    progress_bar_->setValue(ended ? 100 : progress_position(done, survey.bytes));
    report_->show_report(files, settings.way, !ended);
}

void FolderDialog::wait_for(const std::function<void()>& work, const std::function<void()>& tick) {
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    QEventLoop loop;
    QTimer timer;
    connect(&timer, &QTimer::timeout, &loop, [&] {
        tick();
        if (finished) {
            loop.quit();
        }
    });
    timer.start(kTickMs);
    loop.exec();
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void FolderDialog::set_running(bool running) {
    running_ = running;
    // Everything but Cancel is out of reach while the tree is walked or run.
    for (QWidget* control : std::initializer_list<QWidget*>{input_box_, input_button_, output_box_,
                                                            output_button_, go_button_}) {
        control->setEnabled(!running);
    }
    close_button_->setVisible(!running);
    cancel_button_->setVisible(running);
    if (running) {
        cancel_button_->setFocus();
    } else {
        // Ready for the next folder: typing replaces the one just run.
        input_box_->setFocus();
        input_box_->selectAll();
    }
}

}  // namespace glossek
