// The boundary between the platform's window machinery and the program's
// message handlers. An exception must not leave a window procedure: the
// dialog manager's frames below it cannot pass it on, and the program would
// end with the user's unsaved document. A handler that fails is reported in a
// message box and the program keeps running.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/modal_services.h"

namespace velmar::ui {

inline constexpr wchar_t kHandlerFailureMessage[] = L"No se ha podido completar la orden ...";

// Tells the user that an order could not be carried out. Never throws; with
// no modal services the platform's message box is used.
void ReportHandlerFailure(platform::ModalServices* modal) noexcept;

// Runs `handler` (which returns the window procedure's result); any exception
// it throws is reported and the message counts as not handled.
template <class Handler>
INT_PTR GuardedHandler(platform::ModalServices* modal, Handler&& handler) noexcept {
    try {
        return std::forward<Handler>(handler)();
    } catch (...) {
        ReportHandlerFailure(modal);
        return FALSE;
    }
}

}  // namespace velmar::ui
