// What the windows tell the user when one of their message handlers fails
// (the dialog base catches every exception at the window procedure): a
// message box, and the program keeps running.
#pragma once

#include <windows.h>

#include "platform/modal_services.h"

namespace velmar::ui {

inline constexpr wchar_t kHandlerFailureMessage[] = L"No se ha podido completar la orden ...";

// Tells the user that an order could not be carried out. Never throws; with
// no modal services the platform's message box is used.
void ReportHandlerFailure(platform::ModalServices* modal) noexcept;

}  // namespace velmar::ui
