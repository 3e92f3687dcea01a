#include "platform/dialog_window.h"

#include <utility>

namespace velmar::platform {

DialogWindow::DialogWindow(DialogRouter& dialogs, Lifetime lifetime, Focus focus)
    : dialogs_(&dialogs), lifetime_(lifetime), focus_(focus) {}

DialogWindow::~DialogWindow() {
    DestroyOpenWindow();
}

void DialogWindow::DestroyOpenWindow() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

HWND DialogWindow::CreateFromTemplate(const DialogTemplate& dialogTemplate, HWND owner, HINSTANCE instance) {
    // Held as if a handler ran, so that a window that ends during its own
    // creation leaves the object to the caller instead of deleting it here.
    ++handlerDepth_;
    HWND window =
        CreateDialogIndirectParamW(instance, dialogTemplate.Get(), owner, Procedure, reinterpret_cast<LPARAM>(this));
    --handlerDepth_;
    if (!window || windowGone_) return nullptr;
    dialogs_->Add(window);
    return window;
}

void DialogWindow::SetOwnFont(std::span<const int> ids, const FontSpec& request, UniqueFont& held) {
    UniqueFont font = CreateFontForDpi(request, dpi_);
    for (int id : ids) {
        KeepOwnFontOnScaleChange(Control(id));
        SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    held = std::move(font);
}

DialogWindow::BusyHold::BusyHold(BusyHold&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}

DialogWindow::BusyHold& DialogWindow::BusyHold::operator=(BusyHold&& other) noexcept {
    if (this != &other) {
        Release();
        window_ = std::exchange(other.window_, nullptr);
    }
    return *this;
}

void DialogWindow::BusyHold::Release() noexcept {
    if (DialogWindow* window = std::exchange(window_, nullptr)) window->EndBusy();
}

DialogWindow::BusyHold DialogWindow::HoldBusy() {
    if (busy_) return {};
    busy_ = true;
    if (window_) OnBusyChanged(true);
    return BusyHold(this);
}

// A close request that waited is posted, so that it runs from the message
// loop once the handler that held the window busy has returned.
void DialogWindow::EndBusy() noexcept {
    busy_ = false;
    if (!window_) return;
    OnBusyChanged(false);
    if (std::exchange(closeDeferred_, false)) PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

INT_PTR DialogWindow::SetMessageResult(LRESULT result, INT_PTR handled) {
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return handled;
}

void DialogWindow::KeepFocus(bool active) {
    if (!active) {
        savedFocus_ = GetFocus();
    } else if (savedFocus_) {
        SetFocus(savedFocus_);
        savedFocus_ = nullptr;
    }
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* created = reinterpret_cast<DialogWindow*>(lParam);
        created->window_ = window;
        created->dpi_ = WindowDpi(window);
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    ++self->handlerDepth_;
    switch (message) {
        case WM_NCACTIVATE:
            if (self->focus_ == Focus::Kept) self->KeepFocus(wParam != 0);
            break;
        case WM_DESTROY:
            self->dialogs_->Remove(window);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->window_ = nullptr;
            self->windowGone_ = true;
            break;
        default:
            break;
    }
    INT_PTR result = FALSE;
    try {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && self->busy_) {
            self->closeDeferred_ = true;
            result = self->SetMessageResult(0, TRUE);
        } else if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && self->OnCloseRequest()) {
            result = self->SetMessageResult(0, TRUE);
        } else if (message == WM_DPICHANGED) {
            // The dialog manager lays the window out again when this returns;
            // the window's own fonts and icons follow after.
            self->dpi_ = DpiOfDpiChanged(wParam);
            PostMessageW(window, kApplyDisplayScale, 0, 0);
        } else if (message == kApplyDisplayScale) {
            self->OnScaleChanged();
            result = TRUE;
        } else {
            result = self->OnMessage(message, wParam, lParam);
        }
    } catch (...) {
        self->OnHandlerFailure();
        result = FALSE;
    }
    if (--self->handlerDepth_ == 0 && self->windowGone_ && self->lifetime_ == Lifetime::SelfDeleting) delete self;
    return result;
}

}  // namespace velmar::platform
