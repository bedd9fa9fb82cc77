// SPDX-License-Identifier: MIT
#include "gui/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/qt_text.h"
#include "lang/captions.h"

namespace glossek {

namespace {

constexpr auto kContentsTopic = "Sommaire";

// The contents section of each language in the help file.
QString contents_anchor(const QString& language) {
    return language == QStringLiteral("FR") ? QStringLiteral("Francais")
                                            : QStringLiteral("English");
}

QToolButton* tool_button(QWidget* parent, const char* name, QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner)
    : QDialog(owner, Qt::Window),
      browser_(new QTextBrowser),
      back_(tool_button(this, "help_back", QStyle::SP_ArrowBack)),
      forward_(tool_button(this, "help_forward", QStyle::SP_ArrowForward)),
      contents_(tool_button(this, "help_contents", QStyle::SP_DirHomeIcon)) {
    setObjectName(QStringLiteral("help_window"));
    browser_->setObjectName(QStringLiteral("help_browser"));
    // Web addresses in the help go to the browser; links between topics stay here.
    browser_->setOpenExternalLinks(true);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents_, &QToolButton::clicked, this, &HelpWindow::show_contents);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    // Not modal: the program goes on while the help is read. Escape closes it, as it
    // closes every dialog.
    setModal(false);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 0);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(contents_);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(browser_);
    resize(640, 520);
}

bool HelpWindow::show_topic(const QString& help_file, const QString& topic,
                            const QString& language) {
    QFile file(help_file);
    if (!QFileInfo(help_file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString html = QString::fromUtf8(file.readAll());
    file.close();
    for (QToolButton* button : {back_, forward_, contents_}) {
        button->setText(
            from_cp1252(caption_of(button->objectName().toStdString(), language.toStdString())));
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(help_file).absoluteFilePath());
    const bool another_language = language != language_ || url != file_;
    language_ = language;
    file_ = url;
    QString anchor = topic == QLatin1String(kContentsTopic) ? contents_anchor(language) : topic;
    // A topic the file lacks leaves its contents page, the top of the file, in view.
    if (!html.contains(QStringLiteral("name=\"%1\"").arg(anchor)) &&
        !html.contains(QStringLiteral("id=\"%1\"").arg(anchor))) {
        anchor.clear();
    }
    go_to(anchor);
    if (another_language) {
        // Back leads only through pages read in this language.
        browser_->clearHistory();
    }
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QFileInfo(help_file).fileName() : title);
    if (!placed_) {
        fit_on_screen();
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    return true;
}

void HelpWindow::show_contents() {
    go_to(contents_anchor(language_));
}

void HelpWindow::go_to(const QString& anchor) {
    QUrl target = file_;
    target.setFragment(anchor.isEmpty() ? QString() : anchor);
    // Where the reader already is: no step in the history, so Back goes somewhere else.
    if (browser_->source() != target) {
        // The name does not say HTML, so the kind of resource is given.
        browser_->setSource(target, QTextDocument::HtmlResource);
    }
}

void HelpWindow::fit_on_screen() {
    // Beside the frame where there is room, always wholly on the frame's screen.
    QWidget* owner = parentWidget();
    QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect room = screen->availableGeometry();
    const QSize size = this->size().boundedTo(room.size() - QSize(40, 60));
    resize(size);
    QPoint at = room.center() - QPoint(size.width() / 2, size.height() / 2);
    if (owner != nullptr) {
        const QRect frame = owner->frameGeometry();
        if (frame.right() + size.width() + 8 <= room.right()) {
            at = QPoint(frame.right() + 8, frame.top());
        }
    }
    at.setX(std::clamp(at.x(), room.left(), room.right() - size.width()));
    at.setY(std::clamp(at.y(), room.top(), room.bottom() - size.height() - 30));
    move(at);
}

}  // namespace glossek
