#include "ui/link_check.h"

namespace velmar::ui {

const char kFolderBrowserCaption[] = "Elige Carpeta a ver ...\r\n\xAE Velmar Soft";
const char kBadFormatMessage[] = "La carpeta NO es una base de dato ...\r\nFormato erroneo ...";

std::string WithTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\') path.push_back('\\');
    return path;
}

LinkOutcome ValidateLink(const LinkedDatabase& db, bool& linked, SearchResults& results, bool afterPick) {
    LinkOutcome outcome;
    if (db.folder.empty()) return outcome;
    outcome.checked = true;
    outcome.check = CheckDatabaseFolder(db);
    switch (outcome.check) {
        case FolderCheck::FolderValid:
            linked = true;
            results.flag = 0;
            outcome.folderBox = db.folder;
            break;
        case FolderCheck::BadFormat:
            linked = false;
            outcome.showBadFormat = afterPick;
            break;
        case FolderCheck::NoDefinitionFile:
            linked = false;
            break;
    }
    return outcome;
}

}  // namespace velmar::ui
