// The frame window: the main menu, the four child windows and the commands of the menu.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <exception>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/dialogs.h"

namespace glossek {

class Tfrm_gen;
class Tfrm_tcv;
class Tfrm_wre;
class Tfrm_wvi;
class ChildWindow;

class Tmdi_glk : public QMainWindow {
    Q_OBJECT
public:
    // `program_path` gives the application title of the error boxes.
    Tmdi_glk(AppState& state, Dialogs& dialogs, const QString& program_path);

    // The child windows, in their fixed order: table editor, input viewer, result viewer,
    // General data (whose creation reads the language and the command line).
    void create_children();

    // Every child minimised, from the last to the first, then `child` maximised.
    void ShowChild(QWidget* child);

    void mnu_finClick();
    void mnu_fgoClick();
    void mnu_fexClick();
    void Recallfile1Click();
    void Savefileas1Click();
    void mnu_wgeClick();
    void Otherconversiondetails1Click();
    void mnu_wviClick();
    void mnu_wreClick();
    void LoadInputView();
    void mnu_USClick();
    void mnu_FRClick();
    void mnu_hinClick();
    void mnu_habClick();
    void mnu_hauthClick();
    void mnu_hglkhClick();
    void mnu_hmailClick();

    // The help call: the help file beside the program, at its contents then at `topic`.
    void show_help(const QString& topic);

    // Runs a command; an error that ends it is shown in the error box. False when it failed.
    bool guarded(const std::function<void()>& command);
    void show_error(std::exception_ptr error);

    void load_language();
    void load_code_pages();

    AppState& state() { return state_; }
    Dialogs& dialogs() { return dialogs_; }
    QMdiArea* mdi_area() const { return mdi_; }
    ChildWindow* child_window_of(QWidget* child) const;
    QString application_title() const { return app_title_; }

    QString dialog_folder;  // where the file dialogs start: the program's folder
    QString help_file;      // empty until the first help call

    Tfrm_tcv* frm_tcv = nullptr;
    Tfrm_wvi* frm_wvi = nullptr;
    Tfrm_wre* frm_wre = nullptr;
    Tfrm_gen* frm_gen = nullptr;

    QMenu* pdn_file;
    QAction* mnu_fin;
    QAction* mnu_fou;
    QAction* mnu_fgo;
    QAction* mnu_fex;
    QMenu* pdn_tcv;
    QAction* Recallfile1;
    QAction* Savefileas1;
    QMenu* pdn_win;
    QAction* mnu_wge;
    QAction* Otherconversiondetails1;
    QAction* mnu_wvi;
    QAction* mnu_wre;
    QMenu* pdn_opt;
    QMenu* mnu_olg;
    QAction* mnu_US;
    QAction* mnu_FR;
    QMenu* pdn_hlp;
    QAction* mnu_hin;
    QAction* mnu_hab;
    QAction* mnu_hauth;
    QAction* mnu_hglkh;
    QAction* mnu_hmail;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void build_menu();
    ChildWindow* add_child(QWidget* child, bool minimised);
    void show_code_pages();
    void open_link(const std::string& link);

    AppState& state_;
    Dialogs& dialogs_;
    QString app_title_;
    QMdiArea* mdi_;
    QLabel* code_pages_label_;
};

}  // namespace glossek
