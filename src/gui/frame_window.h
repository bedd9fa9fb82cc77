// SPDX-License-Identifier: MIT
// The frame window: the main menu, the four child windows, and the commands that belong to
// the frame itself (the Window menu, languages, help and links, the end of the program).
#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QTranslator>
#include <string>
#include <string_view>

#include "gui/window_services.h"

namespace glossek {

class ChildWindow;

class FrameWindow : public QMainWindow, public WindowServices {
    Q_OBJECT
public:
    // At the place it had when the program last ended, or at its design place.
    FrameWindow(AppState& state, Dialogs& dialogs);
    ~FrameWindow() override;

    // Each child window's content, in the children's fixed order, once: the table editor,
    // the input viewer, the result viewer, General data. A viewer is a LineView as well.
    void adopt_child(Child child, QWidget* content, LineView* view = nullptr);
    // The language, then the code pages whatever became of it. False when the language file
    // could not be read: the start goes no further (the error has been shown).
    bool load_language_and_code_pages();

    // A menu item by its name, for whoever connects it to the window that owns its command.
    QAction* menu_item(const char* name) const;

    AppState& state() override { return state_; }
    Dialogs& dialogs() override { return dialogs_; }
    bool guarded(const std::function<void()>& command) override;
    void show_error(std::exception_ptr error) override;
    void lock_commands(bool locked) override;
    void show_child(Child child) override;
    bool is_maximised(Child child) const override;
    LineView& viewer(Child viewer) override;
    void enable_viewer(Child viewer) override;
    void put_pages_in_force(PageNumbers pages) override;
    void show_help(const QString& topic) override;

signals:
    // The frame is being closed while a command runs: the command is asked to stop, and the
    // program ends once it has.
    void stop_requested();
    // Another pair of code pages is in force: what shows bytes as text shows them again.
    void code_pages_changed();
    // Another language is in force: what the windows compose of its texts is composed again.
    void language_changed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menu();
    void connect_menu();
    ChildWindow* window_of(Child child) const;
    void place_on_screen();
    void keep_place() const;
    void minimise_visible_children();
    void arrange_children(const std::function<void(const QList<QMdiSubWindow*>&)>& arrange);
    // Key presses that no control of the window should take (see eventFilter).
    bool is_claimed_by_menu(QWidget* widget, const QKeyEvent& key) const;

    // The frame's own commands.
    void switch_to_english();
    void switch_to_french();
    void choose_code_pages();
    void tile_children();
    void cascade_children();
    void show_help_index();
    void show_about();
    void open_author_page();
    void open_program_page();
    void mail_author();

    void load_language();
    void apply_language();
    void switch_language(std::string_view code);
    void load_code_pages();
    void show_code_pages();
    void open_link(const std::string& link);

    AppState& state_;
    Dialogs& dialogs_;
    QMdiArea* mdi_;
    QLabel* code_pages_label_;
    QTranslator qt_translator_;
    bool locked_ = false;
    QList<QAction*> locked_items_;  // disabled while a command runs, enabled again after
    bool close_when_unlocked_ = false;

    ChildWindow* children_[4] = {};
    LineView* viewers_[4] = {};
    QAction* view_input_item_ = nullptr;
    QAction* view_result_item_ = nullptr;
};

}  // namespace glossek
