#include "platform/modal_services.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace velmar::platform {

int SystemModalServices::ShowMessageBox(const MessageBoxRequest& request) {
    return MessageBoxW(request.owner, request.text.c_str(), request.title.c_str(), request.type);
}

std::optional<std::string> SystemModalServices::ChooseFile(const FileDialogRequest& request) {
    std::string filter = request.filter;
    filter.push_back('\0');  // the list ends with an empty entry
    std::vector<char> path(request.capacity > 0 ? request.capacity : 1, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = request.flags;
    BOOL chosen = request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return std::nullopt;
    return std::string(path.data());
}

std::optional<COLORREF> SystemModalServices::ChooseColour(const ColourRequest& request,
                                                          std::array<COLORREF, 16>& custom) {
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner;
    dialog.rgbResult = request.initial;
    dialog.lpCustColors = custom.data();
    dialog.Flags = request.flags;
    if (!ChooseColorA(&dialog)) return std::nullopt;
    return dialog.rgbResult;
}

std::string SystemModalServices::BrowseForFolder(const FolderRequest& request) {
    BROWSEINFOA browse{};
    browse.hwndOwner = request.owner;
    browse.lpszTitle = request.caption.c_str();
    browse.ulFlags = request.flags;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (!item) return {};
    char path[MAX_PATH] = {};
    std::string result;
    if (SHGetPathFromIDListA(item, path)) result = path;
    CoTaskMemFree(item);
    return result;
}

void SystemModalServices::TrackPopupMenu(const PopupMenuRequest& request) {
    ::TrackPopupMenu(request.menu, request.flags, request.screen.x, request.screen.y, 0, request.owner, nullptr);
}

}  // namespace velmar::platform
