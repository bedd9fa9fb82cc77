// SPDX-License-Identifier: MIT
// What the frame offers the windows it holds: the shared state, the dialogs, the guard
// around commands and the child windows. Windows know this interface, never the frame or
// each other.
#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "app/app_state.h"
#include "gui/dialogs.h"
#include "gui/line_view.h"

namespace glossek {

// The four child windows of the frame, in their creation order.
enum class Child { TableEditor, InputViewer, ResultViewer, GeneralData };

class WindowServices {
public:
    virtual ~WindowServices() = default;

    virtual AppState& state() = 0;
    virtual Dialogs& dialogs() = 0;

    // Runs a command; an error that ends it is shown in the error box. False when it failed.
    virtual bool guarded(const std::function<void()>& command) = 0;
    virtual void show_error(std::exception_ptr error) = 0;
    // While a long command runs with the window kept alive, everything but its own Stop
    // control is out of reach (see CommandLock).
    virtual void lock_commands(bool locked) = 0;

    // The child windows. show_child: every child minimised, then `child` maximised with the
    // focus on its first control. A viewer is filled as a LineView, and its Window menu item
    // enabled once it has something to show.
    virtual void show_child(Child child) = 0;
    virtual bool is_maximised(Child child) const = 0;
    virtual LineView& viewer(Child viewer) = 0;
    virtual void enable_viewer(Child viewer) = 0;

    // Another pair of code pages in force, as Options, Code pages puts it: at once and for
    // the next start. A failure is shown.
    virtual void put_pages_in_force(PageNumbers pages) = 0;

    // The help file at its contents, then at the topic.
    virtual void show_help(const QString& topic) = 0;
};

// The commands locked for as long as it lives, unlocked however the command ends.
class CommandLock {
public:
    explicit CommandLock(WindowServices& services) : services_(services) {
        services_.lock_commands(true);
    }
    ~CommandLock() { services_.lock_commands(false); }
    CommandLock(const CommandLock&) = delete;
    CommandLock& operator=(const CommandLock&) = delete;

private:
    WindowServices& services_;
};

}  // namespace glossek
