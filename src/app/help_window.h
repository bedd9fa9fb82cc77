// The help file in a window of its own beside the frame: an HTML file whose topics are
// anchors, the contents page at its top.
#pragma once

#include <QString>
#include <QTextBrowser>
#include <QWidget>

namespace glossek {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Shows the file at its contents page, then at the topic (a topic the file lacks leaves
    // the contents page in view). False, with nothing shown, when the file cannot be read.
    bool show_topic(const QString& help_file, const QString& topic);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace glossek
