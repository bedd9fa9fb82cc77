#include "app/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

namespace glossek {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), browser_(new QTextBrowser) {
    setObjectName(QStringLiteral("help_window"));
    browser_->setObjectName(QStringLiteral("help_browser"));
    // Web addresses in the help go to the browser; links between topics stay here.
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 520);
}

bool HelpWindow::show_topic(const QString& help_file, const QString& topic) {
    QFile file(help_file);
    if (!QFileInfo(help_file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    file.close();
    const QUrl contents = QUrl::fromLocalFile(QFileInfo(help_file).absoluteFilePath());
    // The name does not say HTML, so the kind of resource is given.
    browser_->setSource(contents, QTextDocument::HtmlResource);
    QUrl at_topic = contents;
    at_topic.setFragment(topic);
    browser_->setSource(at_topic, QTextDocument::HtmlResource);
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QFileInfo(help_file).fileName() : title);
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace glossek
