// What the frame offers the windows it holds: the shared state, the dialogs, the guard
// around commands and the child-window rule. Windows know this interface, never the frame
// or each other.
#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <string_view>

#include "app/app_state.h"
#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace glossek {

// The four child windows of the frame, in their creation order.
enum class Child { TableEditor, InputViewer, ResultViewer, GeneralData };

// A viewer as the commands fill it: the lines a command produced, shown in one go.
class LineView {
public:
    virtual ~LineView() = default;
    virtual void clear() = 0;
    // Appends the lines and shows the text from its first line and column.
    virtual void add_lines(const QStringList& lines) = 0;
};

// Collects the lines a command produces and hands them to a viewer in one go when the
// command ends, however it ends: nothing repaints the viewer meanwhile, and laying the text
// out once is much cheaper than once per line.
class ViewerFill {
public:
    ViewerFill(LineView& viewer, const CodePagePair& pages) : viewer_(viewer), pages_(pages) {}
    ~ViewerFill() { viewer_.add_lines(lines_); }
    ViewerFill(const ViewerFill&) = delete;
    ViewerFill& operator=(const ViewerFill&) = delete;
    void add(std::string_view bytes) { lines_.append(from_ansi_page(bytes, pages_)); }

private:
    LineView& viewer_;
    const CodePagePair& pages_;
    QStringList lines_;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;

    virtual AppState& state() = 0;
    virtual Dialogs& dialogs() = 0;

    // Runs a command; an error that ends it is shown in the error box. False when it failed.
    virtual bool guarded(const std::function<void()>& command) = 0;
    virtual void show_error(std::exception_ptr error) = 0;

    // Every child minimised, then `child` maximised with the focus on its first control.
    virtual void ShowChild(Child child) = 0;
    virtual bool is_maximised(Child child) const = 0;

    // A viewer and the Window menu item that shows it (enabled once it has something).
    virtual LineView& viewer(Child viewer) = 0;
    virtual void enable_viewer(Child viewer) = 0;

    // The help file at its contents, then at the topic.
    virtual void show_help(const QString& topic) = 0;

    // Where a file dialog opens: the folder the program was started from, then the folder
    // of the file last chosen in any of them.
    virtual QString dialog_folder() const = 0;
    virtual void remember_folder(const QString& chosen_file) = 0;

    // While a long command runs with the window kept alive, everything but its own Stop
    // control is out of reach.
    virtual void lock_commands(bool locked) = 0;
};

}  // namespace glossek
