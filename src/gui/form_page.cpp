// SPDX-License-Identifier: MIT
#include "gui/form_page.h"

#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace glossek {

FormPage::FormPage(QWidget* form, QSize design, QSize minimum) : QWidget(nullptr), design_(design) {
    auto* area = new QScrollArea(form);
    area->setObjectName(form->objectName() + QStringLiteral("_scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    setMinimumSize(minimum);
    area->setWidget(this);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

void FormPage::on_growth(std::function<void(int, int)> arrange) {
    arrange_ = std::move(arrange);
}

void FormPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void FormPage::arrange() {
    if (arrange_) {
        arrange_(std::max(0, width() - design_.width()), std::max(0, height() - design_.height()));
    }
}

}  // namespace glossek
