// The program's one top-level window: the editor with its formatting bar and
// menu bar, built as a dialog from an in-memory template. It starts hidden
// and initialised; the caller shows it and runs the message loop.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "platform/accessible_names.h"
#include "ui/handler_guard.h"
#include "ui/program_state.h"
#include "platform/dialog_template.h"
#include "platform/dialog_window.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "platform/modal_services.h"

namespace velmar::ui {

// The pixel sizes scripts/draw-icons draws into each of the program's icons,
// ascending: an icon is loaded at one of these, so it is never stretched.
inline constexpr int kDrawnIconSizes[] = {16, 20, 24, 32, 36, 40, 48, 64, 256};

// The size at which an icon fills an icon button of `button` client pixels at
// `dpi`: the largest drawn size that leaves the button's edge (3 pixels at
// 96 DPI, scaled) free on every side; at least the smallest.
int IconSizeToFill(SIZE button, UINT dpi);

// A control that shows no text and the name a screen reader announces for it.
struct ControlName {
    int id;
    const wchar_t* name;
};

class MainWindow : public platform::DialogWindow {
public:
    // `settingsPath` is the settings file to read at initialisation and to
    // write on "Salir"; the program passes the one beside its executable.
    MainWindow(ProgramState& state, platform::ModalServices& modal, platform::DialogRouter& dialogs,
               std::string settingsPath);
    ~MainWindow() override;

    // Creates the window hidden, with its controls and menu, and initialises
    // it. The rich-edit library must be loaded. False when creation failed.
    bool Create(HINSTANCE instance);

    // The program's message loop: runs until "Salir" has ended the window
    // and control is back here, then destroys every window still open, this
    // one last, while the state they use still exists.
    void Run();

    HWND Editor() const { return editor_; }
    HMENU MenuBar() const { return menuBar_; }
    ProgramState& State() { return *state_; }
    platform::ModalServices& Modal() { return *modal_; }

    // Sizes recorded at initialisation, in dialog units.
    SIZE InitialWindowSize() const { return initialWindow_; }
    SIZE InitialEditorSize() const { return initialEditor_; }

    // Fills an owner-drawn swatch (text-colour or highlight) with one colour;
    // it keeps that colour until filled again.
    void FillSwatch(int swatchId, COLORREF colour);
    COLORREF SwatchColour(int swatchId) const;

    // The window and its controls in creation order, as dialog units.
    static platform::DialogTemplate Template();

    // Gives the icon toggles and the swatches their accessible names through
    // `names` (the window does this at creation with the system's service).
    void NameControls(platform::AccessibleNames& names) const;
    // The controls that NameControls names, with their names.
    static const std::array<ControlName, 5> kAccessibleNames;

    // The window's caption and the about box's texts.
    static const wchar_t* const kCaption;
    static const wchar_t* const kMessageTitle;
    static const wchar_t* const kAboutText;
    static const wchar_t* const kNoDatabaseText;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnHandlerFailure() noexcept override { ReportHandlerFailure(modal_); }
    void OnScaleChanged() override;

    BOOL OnInitDialog();
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    void OnSize(WPARAM kind);
    bool OnCloseRequest() override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnDestroy();

    void BuildWindow();
    void Initialise();
    void ApplyDisplayScale();
    void FitWindowToClientSize(bool centre);
    SIZE WindowSizeInDialogUnits() const;
    void ShowAbout();
    void Quit();
    void OpenSearch();
    void ShowContextMenu(LPARAM mousePosition);

    ProgramState* state_;
    platform::ModalServices* modal_;
    std::string settingsPath_;

    HWND editor_ = nullptr;
    HMENU menuBar_ = nullptr;  // owned by the window once attached
    bool initialised_ = false;
    SIZE initialWindow_{};
    SIZE initialEditor_{};
    COLORREF textSwatch_ = RGB(0, 0, 0);
    COLORREF highlightSwatch_ = RGB(255, 255, 255);

    std::optional<platform::AccessibleNames> names_;
    std::array<platform::UniqueFont, 4> effectFonts_;
    platform::UniqueIcon bigIcon_;
    platform::UniqueIcon smallIcon_;
    std::array<platform::UniqueIcon, 3> toggleIcons_;
};

}  // namespace velmar::ui
