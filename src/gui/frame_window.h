// The frame window: the main menu, the four child windows, and the commands that belong to
// the frame itself (the Window menu, languages, help and links, the end of the program).
#pragma once

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
class Tfrm_gen;
class Tfrm_tcv;
class Tfrm_wre;
class Tfrm_wvi;

class Tmdi_glk : public QMainWindow, public WindowServices {
    Q_OBJECT
public:
    // `program_path` gives the application title of the error boxes.
    Tmdi_glk(AppState& state, Dialogs& dialogs, const QString& program_path);
    ~Tmdi_glk() override;

    // The language, the code pages and the command line, as the program starts.
    void start(const CommandLineJob& command);

    AppState& state() override { return state_; }
    Dialogs& dialogs() override { return dialogs_; }
    bool guarded(const std::function<void()>& command) override;
    void show_error(std::exception_ptr error) override;
    void ShowChild(Child child) override;
    bool is_maximised(Child child) const override;
    LineView& viewer(Child viewer) override;
    void enable_viewer(Child viewer) override;
    void show_help(const QString& topic) override;
    QString dialog_folder() const override { return dialog_folder_; }
    void remember_folder(const QString& chosen_file) override;
    void lock_commands(bool locked) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void build_menu();
    void create_children();
    ChildWindow* window_of(Child child) const;
    void place_on_screen();

    void mnu_fexClick();
    void mnu_USClick();
    void mnu_FRClick();
    void mnu_ocpClick();
    void mnu_hinClick();
    void mnu_habClick();
    void mnu_hauthClick();
    void mnu_hglkhClick();
    void mnu_hmailClick();

    void load_language();
    void apply_language();
    void switch_language(std::string_view code);
    void load_code_pages();
    void show_code_pages();
    void open_link(const std::string& link);

    AppState& state_;
    Dialogs& dialogs_;
    QString app_title_;
    QString dialog_folder_;
    QMdiArea* mdi_;
    QLabel* code_pages_label_;
    QTranslator qt_translator_;
    bool locked_ = false;
    bool close_when_unlocked_ = false;

    Tfrm_tcv* frm_tcv_ = nullptr;
    Tfrm_wvi* frm_wvi_ = nullptr;
    Tfrm_wre* frm_wre_ = nullptr;
    Tfrm_gen* frm_gen_ = nullptr;
    QAction* mnu_wvi_ = nullptr;
    QAction* mnu_wre_ = nullptr;
};

}  // namespace glossek
