// What the link dialog decides about a folder, apart from its window: the
// check of the linked folder and what follows from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "database/linked_database.h"
#include "search/search_state.h"

namespace velmar::ui {

// The caption the folder browser shows above its tree (ANSI):
// "Elige Carpeta a ver ...", CR LF, "®" and " Velmar Soft".
extern const char kFolderBrowserCaption[];

// The two-line message for a picked folder whose field definition file is
// empty or not made of whole definitions (ANSI).
extern const char kBadFormatMessage[];

// A browsed folder as the linked folder holds it: with a trailing backslash.
// The empty text (nothing chosen) stays empty.
std::string WithTrailingBackslash(std::string path);

struct LinkOutcome {
    bool checked = false;  // false: no folder linked, nothing was checked
    FolderCheck check = FolderCheck::NoDefinitionFile;
    std::optional<std::string> folderBox;  // the text the folder box is to show, when it changes
    bool showBadFormat = false;            // the message above, only after a pick
};

// Checks the linked folder and updates the linked flag: a valid database is
// linked (and the last search's results are let go), any other folder
// unlinks. With no folder the flag keeps its value. `afterPick` is true when
// the user has just chosen the folder, which is when a folder of the wrong
// format is reported.
LinkOutcome ValidateLink(const LinkedDatabase& db, bool& linked, SearchResults& results, bool afterPick);

}  // namespace velmar::ui
