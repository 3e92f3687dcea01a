// Every window that runs its own modal loop and waits for the user goes
// through this one interface: message boxes, the file dialogs, the colour
// chooser, the folder browser and the editor's context menu. The program uses
// the platform's own windows (SystemModalServices); tests put scripted answers
// in their place and read back what was asked, so that nothing ever waits for
// a person.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace velmar::platform {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring title;
    UINT type = MB_OK;  // buttons and icon, as MessageBoxW takes them
};

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;  // GetSaveFileNameA, otherwise GetOpenFileNameA
    // Pairs of description and pattern, each NUL-terminated, as the platform
    // reads them ("RTF\0*.rtf\0"); the final extra NUL is added when shown.
    std::string filter;
    std::string defaultExtension;
    DWORD flags = 0;
    std::size_t capacity = MAX_PATH;  // bytes of the answer, terminator included
};

struct ColourRequest {
    HWND owner = nullptr;
    COLORREF initial = 0;
    DWORD flags = 0;
};

struct FolderRequest {
    HWND owner = nullptr;
    std::string caption;  // ANSI text shown above the folder tree
    UINT flags = 0;       // BIF_*
};

struct PopupMenuRequest {
    HMENU menu = nullptr;
    UINT flags = 0;
    POINT screen{};
    HWND owner = nullptr;
};

class ModalServices {
public:
    virtual ~ModalServices() = default;

    // The button pressed (IDOK, IDYES, ...).
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // The chosen path in the ANSI code page; nothing when cancelled.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
    // The chosen colour; nothing when cancelled. `custom` is read and updated.
    virtual std::optional<COLORREF> ChooseColour(const ColourRequest& request, std::array<COLORREF, 16>& custom) = 0;
    // The file-system path of the chosen folder as the platform gives it; an
    // empty text when cancelled or when the item has no file-system path.
    virtual std::string BrowseForFolder(const FolderRequest& request) = 0;
    // Shows a popup menu and returns when it closes; a chosen entry arrives at
    // the owner as WM_COMMAND (no TPM_RETURNCMD). The menu stays the caller's.
    virtual void TrackPopupMenu(const PopupMenuRequest& request) = 0;
};

class SystemModalServices final : public ModalServices {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
    std::optional<COLORREF> ChooseColour(const ColourRequest& request, std::array<COLORREF, 16>& custom) override;
    std::string BrowseForFolder(const FolderRequest& request) override;
    void TrackPopupMenu(const PopupMenuRequest& request) override;
};

}  // namespace velmar::platform
