// SPDX-License-Identifier: MIT
// The help file in a window of its own beside the frame, which stays usable meanwhile: an
// HTML file whose topics are anchors, with a contents section for each language.
#pragma once

#include <QDialog>
#include <QString>
#include <QTextBrowser>
#include <QToolButton>

namespace glossek {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Shows the file at its contents page, then at the topic; the contents topic
    // "Sommaire" opens at the contents of the language ("US" or "FR"). A topic the file
    // lacks leaves the contents page in view. False, with nothing shown, when the file
    // cannot be read.
    bool show_topic(const QString& help_file, const QString& topic, const QString& language);

private:
    void show_contents();
    // The help file at the anchor, or at its top for none.
    void go_to(const QString& anchor);
    void fit_on_screen();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
    QToolButton* contents_;
    QUrl file_;
    QString language_;
    bool placed_ = false;
};

}  // namespace glossek
