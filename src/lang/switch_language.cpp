#include "lang/switch_language.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <string>

#include "app/side_files.h"
#include "app/u_mdiglk.h"
#include "conversion/u_gen.h"
#include "lang/apply_language.h"
#include "lang/texts.h"

namespace glossek {

void switch_language(Tmdi_glk& frame, std::string_view code) {
    const QList<QMdiSubWindow*> windows = frame.mdi_area()->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        (*it)->showMinimized();
    }
    AppState& state = frame.state();
    state.LanguageCode = std::string(code.substr(0, 2));
    apply_language(frame);
    // Beside the program (or in the user's settings folder), whatever folder a file dialog
    // last moved to.
    make_settings_folder(state);
    write_language_file(language_file(state), code);
    frame.ShowChild(frame.frm_gen);
}

}  // namespace glossek
