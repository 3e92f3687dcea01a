// Program entry: loads the rich-edit library, builds the main window hidden
// and initialised, shows it and runs the message loop until "Salir" ends it.
// The command line is not read.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "platform/accessible_names.h"
#include "ui/program_state.h"
#include "platform/editor.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"
#include "settings/settings_file.h"
#include "ui/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    using namespace velmar;

    // Without the editor there is no program: end silently. The library is
    // freed only after the main window and its editor are gone (this owner
    // outlives the window below).
    platform::UniqueModule richEdit(LoadLibraryW(platform::editor::kLibrary));
    if (!richEdit) return 0;

    // The manifest asks for version 6 of the common controls; loading them
    // here makes the dialog's buttons, lists and boxes that version's.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // COM on this thread, for the accessible names of the controls without text.
    platform::ComApartment com;

    ProgramState state;
    platform::DialogRouter dialogs;
    platform::TimeSlicedYield yield(dialogs);
    state.link.db.yield = [&yield] { yield(); };
    platform::SystemModalServices modal;

    ui::MainWindow window(state, modal, dialogs, SettingsFilePath());
    if (!window.Create(instance)) return 0;  // registered with the dialog router once created
    ShowWindow(window.Window(), show);
    UpdateWindow(window.Window());
    // Every window is gone when Run returns: none is left for the messages
    // that COM's end may still dispatch.
    window.Run();
    return 0;
}
