// SPDX-License-Identifier: MIT
#include "gui/folder_report_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <optional>

#include "gui/language.h"
#include "gui/qt_text.h"
#include "lang/captions.h"
#include "lang/folder_texts.h"

namespace glossek {

namespace {

// The grid's columns.
constexpr int kPath = 0;
constexpr int kResult = 1;
constexpr int kCharacters = 2;
constexpr int kFirstLine = 3;
constexpr int kMessage = 4;
constexpr int kColumns = 5;

// A cell that sorts by its number when it has one (an empty first line sorts before line 1),
// by its text otherwise.
class ReportItem : public QTableWidgetItem {
public:
    explicit ReportItem(const QString& text) : QTableWidgetItem(text) {}
    ReportItem(const QString& text, qlonglong number) : QTableWidgetItem(text) {
        setData(Qt::UserRole, number);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant mine = data(Qt::UserRole);
        const QVariant theirs = other.data(Qt::UserRole);
        if (mine.isValid() && theirs.isValid()) {
            return mine.toLongLong() < theirs.toLongLong();
        }
        return text().localeAwareCompare(other.text()) < 0;
    }
};

}  // namespace

FolderReportWindow::FolderReportWindow(WindowServices& services, QWidget* owner)
    : QDialog(owner), services_(services) {
    setObjectName(QStringLiteral("frm_report"));
    setModal(true);
    place_controls();
    connect(save_button_, &QPushButton::clicked, this, &FolderReportWindow::save_report_as);
    connect(close_button_, &QPushButton::clicked, this, &QDialog::accept);
    // The title clicked turns its indicator (the same title again, the other way round).
    connect(grid_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &FolderReportWindow::sort_by);
    setTabOrder(grid_, save_button_);
    setTabOrder(save_button_, close_button_);
    resize(820, 480);
}

void FolderReportWindow::place_controls() {
    summary_label_ = new QLabel(this);
    summary_label_->setObjectName(QStringLiteral("lbl_rsum"));
    summary_label_->setWordWrap(true);
    summary_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_ = new QTableWidget(0, kColumns, this);
    grid_->setObjectName(QStringLiteral("grd_report"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the grid for the buttons; the arrows move in it.
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->hide();
    // A line of text a row, so that a screen shows many files.
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->horizontalHeader()->setStretchLastSection(true);
    save_button_ = new QPushButton(this);
    save_button_->setObjectName(QStringLiteral("cmd_rsave"));
    close_button_ = new QPushButton(this);
    close_button_->setObjectName(QStringLiteral("cmd_rclose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_button_);
    buttons->addWidget(close_button_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_label_);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
}

void FolderReportWindow::show_report(const std::vector<FolderFile>& files, ConversionWay way,
                                     bool stopped) {
    const AppState& state = services_.state();
    rows_.clear();
    FolderCounts counts;
    for (const FolderFile& file : files) {
        rows_.push_back(report_row(file, state.texts));
        counts.add(file.result);
    }
    QString summary = from_cp1252(folder_summary(counts, way, state.texts));
    if (stopped) {
        summary = from_cp1252(state.texts.lng_folder_stopped) + QLatin1Char('\n') + summary;
    }
    summary_label_->setText(summary);
    apply_captions(*this, state.language_code);
    setWindowTitle(from_cp1252(caption_of("frm_report", state.language_code)));
    fill_grid(way);
    show();
    raise();
    activateWindow();
    grid_->setFocus();
}

void FolderReportWindow::fill_grid(ConversionWay way) {
    const LanguageTexts& texts = services_.state().texts;
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(rows_.size()));
    {
        // In the order of the paths, no title marked: the first click sorts up.
        const QSignalBlocker quiet(grid_->horizontalHeader());
        grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        grid_->horizontalHeader()->setSortIndicatorShown(false);
    }
    for (int row = 0; row < grid_->rowCount(); ++row) {
        const FolderReportRow& line = rows_[static_cast<std::size_t>(row)];
        grid_->setItem(row, kPath, new ReportItem(QString::fromStdString(line.path)));
        grid_->setItem(row, kResult,
                       new ReportItem(from_cp1252(result_text(line.result, way, texts))));
        grid_->setItem(row, kCharacters,
                       new ReportItem(QString::number(line.characters),
                                      static_cast<qlonglong>(line.characters)));
        grid_->setItem(
            row, kFirstLine,
            new ReportItem(line.first_line > 0 ? QString::number(line.first_line) : QString(),
                           line.first_line));
        grid_->setItem(row, kMessage, new ReportItem(QString::fromStdString(line.message)));
    }
    grid_->resizeColumnsToContents();
    if (grid_->rowCount() > 0) {
        grid_->setCurrentCell(0, kPath);
    }
}

void FolderReportWindow::sort_by(int column, Qt::SortOrder order) {
    grid_->sortItems(column, order);
    grid_->horizontalHeader()->setSortIndicatorShown(true);
}

void FolderReportWindow::save_report_as() {
    const LanguageTexts& texts = services_.state().texts;
    const std::optional<QString> chosen = services_.dialogs().save_file(
        {from_cp1252(texts.lng_report_filter), QStringLiteral("*.csv")}, QStringLiteral("csv"));
    if (!chosen) {
        return;
    }
    // Always the order of the paths, whatever order the grid shows.
    services_.guarded([&] { save_report(to_file_name(*chosen), rows_); });
}

}  // namespace glossek
