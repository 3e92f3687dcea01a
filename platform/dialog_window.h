// The one base of the program's windows, all of them dialogs built from
// in-memory templates. It holds what every window would otherwise repeat:
// binding the object to its window (DWLP_USER), control lookup, registration
// with the dialog router while the window exists, the keyboard focus kept
// across deactivation, the busy state of a window whose handler lets messages
// through while it works (a record shown, a search), and, for windows that
// own themselves, deletion once the window is gone and no handler of it is
// still running (a handler may let messages through, and one of them may
// close the window).
#pragma once

#include <windows.h>

#include <span>

#include "platform/dialog_template.h"
#include "platform/display_scale.h"
#include "platform/fonts.h"
#include "platform/handles.h"
#include "platform/message_loop.h"

namespace velmar::platform {

class DialogWindow {
public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    DialogRouter& Dialogs() const { return *dialogs_; }
    // The DPI the window's own fonts and icons are made for: the window's at
    // creation, then each new one that WM_DPICHANGED brings.
    UINT Dpi() const { return dpi_; }

    // The window is busy while one of its handlers holds this: the work it
    // does lets messages through, and what arrives meanwhile must not start
    // the same work again. The one owner of a window's busy state: however
    // the handler ends (an exception included), the window stops being busy
    // when the hold goes, its controls are enabled again (OnBusyChanged) and a
    // close request that arrived meanwhile is carried out. Move-only.
    class BusyHold {
    public:
        BusyHold() = default;
        BusyHold(BusyHold&& other) noexcept;
        BusyHold& operator=(BusyHold&& other) noexcept;
        BusyHold(const BusyHold&) = delete;
        BusyHold& operator=(const BusyHold&) = delete;
        ~BusyHold() { Release(); }
        explicit operator bool() const { return window_ != nullptr; }
        void Release() noexcept;

    private:
        friend class DialogWindow;
        explicit BusyHold(DialogWindow* window) : window_(window) {}
        DialogWindow* window_ = nullptr;
    };

    bool Busy() const { return busy_; }

protected:
    enum class Lifetime {
        Owned,        // the creator owns the object; deleting it destroys a window still open
        SelfDeleting  // the object belongs to its window and is deleted after it
    };
    enum class Focus {
        Default,  // the dialog manager's handling alone
        Kept      // the control that had the focus when the window was left gets it back
    };

    DialogWindow(DialogRouter& dialogs, Lifetime lifetime, Focus focus);
    virtual ~DialogWindow();
    // Destroys the window if it is still open. An owned window whose handlers
    // use its own members calls it from its destructor, while they still exist.
    void DestroyOpenWindow();

    // Creates the window (WM_INITDIALOG reaches OnMessage on the way) and
    // registers it with the router. Nothing when no window remains after the
    // creation; a self-deleting object is then still the caller's to delete.
    HWND CreateFromTemplate(const DialogTemplate& dialogTemplate, HWND owner,
                            HINSTANCE instance = GetModuleHandleW(nullptr));

    // Every message of the window, after the base's own part: WM_NCACTIVATE
    // has saved or restored the focus (Focus::Kept), WM_DESTROY has taken the
    // window off the router, and WM_NCDESTROY has unbound the object, so that
    // Window() is already null there. The result is the dialog procedure's.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The close request of the frame (the close box, Alt+F4, the system
    // menu's Close: WM_SYSCOMMAND with SC_CLOSE). True when the window has
    // dealt with it, which then ends there; false leaves it to OnMessage and
    // the dialog manager.
    virtual bool OnCloseRequest() { return false; }

    // An exception must not leave a window procedure: the dialog manager's
    // frames below it cannot pass it on, and the program would end with the
    // user's unsaved document. A handler that throws is reported here, and the
    // message counts as not handled.
    virtual void OnHandlerFailure() noexcept {}

    // After a change of scale (WM_DPICHANGED), once the dialog manager has laid
    // the window out in the new template font: the window makes its own fonts
    // and icons again for Dpi().
    virtual void OnScaleChanged() {}

    // Makes the window busy: an empty hold when it is busy already (the
    // caller then does nothing, or remembers the request for later). While
    // busy, a close request of the frame waits until the hold goes.
    [[nodiscard]] BusyHold HoldBusy();

    // Told when the window becomes busy and when it stops being busy (only
    // while the window exists), to disable and enable the controls that
    // would start work again. Must not throw: it runs while a failed handler
    // unwinds.
    virtual void OnBusyChanged(bool /*busy*/) noexcept {}

    // Makes `request` at Dpi() and sets it on the controls `ids`, which keep it
    // through a change of scale (the dialog manager leaves their font alone);
    // the new font takes the place of `held` once every control shows it, so
    // none is left with a deleted font.
    void SetOwnFont(std::span<const int> ids, const FontSpec& request, UniqueFont& held);

    // Answers a message whose result goes through DWLP_MSGRESULT (WM_NOTIFY,
    // a handled WM_SYSCOMMAND) and returns what the procedure must return.
    INT_PTR SetMessageResult(LRESULT result, INT_PTR handled);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void KeepFocus(bool active);
    void EndBusy() noexcept;

    DialogRouter* dialogs_;
    Lifetime lifetime_;
    Focus focus_;
    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    UINT dpi_ = kUnscaledDpi;
    int handlerDepth_ = 0;
    bool windowGone_ = false;
    bool busy_ = false;
    bool closeDeferred_ = false;  // a close request that came while busy
};

}  // namespace velmar::platform
