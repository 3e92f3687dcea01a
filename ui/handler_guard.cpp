#include "ui/handler_guard.h"

#include "ui/main_window.h"

namespace velmar::ui {

void ReportHandlerFailure(platform::ModalServices* modal) noexcept {
    try {
        if (modal) {
            modal->ShowMessageBox({nullptr, kHandlerFailureMessage, MainWindow::kMessageTitle, MB_OK});
            return;
        }
    } catch (...) {
        // The report itself failed (no memory left for its texts): the
        // platform's own box needs none of ours.
    }
    MessageBoxW(nullptr, kHandlerFailureMessage, MainWindow::kMessageTitle, MB_OK);
}

}  // namespace velmar::ui
