#include "app/window_start.h"

#include <QApplication>

#include "app/qt_dialogs.h"
#include "app/u_mdiglk.h"
#include "conversion/u_gen.h"

namespace glossek {

bool display_available() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void run_window(AppState& state, const CommandLineJob& command, int& argc, char** argv) {
    QApplication application(argc, argv);
    QtDialogs dialogs;
    Tmdi_glk frame(state, dialogs, QString::fromLocal8Bit(argv[0]));
    dialogs.set_owner(&frame);
    frame.create_children();
    frame.frm_gen->FormCreate(command);
    frame.show();
    QApplication::exec();
}

}  // namespace glossek
