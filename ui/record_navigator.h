// The record navigator, "Registros Base Datos": a small tool window, always
// on top and without an owner, that steps through the records of the linked
// database, or through the records the last search found, and shows each one
// through the display template in the editor.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/program_state.h"
#include "platform/dialog_template.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"
#include "ui/navigator_moves.h"

namespace velmar::ui {

// FormatRecord: fills the display template with the fields of `record` and
// loads the result into `editor` as a rich-text document, replacing its
// content. With no template held, or an empty result, the editor is left alone.
void FormatRecord(ProgramState& state, HWND editor, int64_t record);

class RecordNavigator {
public:
    // Builds the navigator and shows it; it shows record 1 (or the first
    // result) as it opens. The object belongs to its window from then on.
    // Nothing when the window could not be created.
    static HWND Open(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND editor,
                     HWND owner);

    static const wchar_t* const kCaption;
    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();

private:
    RecordNavigator(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs, HWND editor);
    ~RecordNavigator() = default;
    RecordNavigator(const RecordNavigator&) = delete;
    RecordNavigator& operator=(const RecordNavigator&) = delete;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void SetFonts();
    void OnCommand(int id, int code);
    void OnNcActivate(bool active);
    bool OnClose();

    void MoveBy(int id);
    void SearchBoxChanged();
    void GoTo();
    void ShowPosition();
    void ShowRecord(int64_t record);
    void SetGoToEnabled(bool enabled);
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    ProgramState* state_;
    platform::ModalServices* modal_;
    platform::DialogRouter* dialogs_;
    HWND editor_;
    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    UINT dpi_ = 96;  // the scale the fonts are made for
    platform::UniqueFont smallFont_;
    platform::UniqueFont largeFont_;

    // Showing a record lets messages through while it reads the database; a
    // message so handled may ask to close the window or flip the check box.
    // Both wait until the record is shown, and the object outlives its window
    // until the outermost handler has returned.
    int handlerDepth_ = 0;
    bool windowGone_ = false;
    bool moving_ = false;
    bool closeRequested_ = false;
    bool searchBoxChangePending_ = false;
};

}  // namespace velmar::ui
