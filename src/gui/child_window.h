// SPDX-License-Identifier: MIT
// A child window of the frame: closing it only minimises it, so it lives until the end; a
// window restored from an icon or from maximised gets its design size back.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMdiSubWindow>
#include <QSize>

namespace glossek {

class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // `content` carries the window's caption (its windowTitle) and icon.
    ChildWindow(QWidget* content, QSize design_size, QWidget* parent = nullptr);

    // Its own menu in the language of the toolkit's texts in force.
    void translate_system_menu();
    // While the frame tiles or cascades the children, the sizes they get are the
    // arrangement's, not those a restored child takes on its own.
    void set_arranged(bool arranged) { arranged_ = arranged; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize design_size_;
    bool arranged_ = false;
    QList<QByteArray> system_menu_texts_;  // as the toolkit first wrote them, in English
};

}  // namespace glossek
