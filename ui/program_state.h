// Program-wide state that lives for the whole run and that the windows share.
// Each window receives the parts it works on; nothing here is a global.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "database/display_cache.h"
#include "database/linked_database.h"
#include "database/record_display.h"
#include "search/criteria.h"
#include "search/search_state.h"
#include "ui/format_bar_state.h"
#include "ui/navigator_moves.h"

namespace velmar {

// The linked database: db.folder is the linked folder ("" when none), and
// `linked` is true while that folder has passed CheckDatabaseFolder. It
// decides whether "Navegador" and "Buscar" are enabled.
struct DatabaseLink {
    LinkedDatabase db;
    bool linked = false;
};

// One-at-a-time guards of the secondary windows. The record navigator and the
// search dialog share `databaseDialog`, so at most one of them is open. They
// are set and cleared only through a GuardHold.
struct WindowGuards {
    bool aboutBox = false;
    bool linkDialog = false;
    bool databaseDialog = false;
};

// Holds one guard set: taken only while the guard is clear, and clearing it
// when released or when the holder ends, so that no path (a window that fails
// to open, an early return) leaves it set. Move-only: a window that opens
// takes the hold over from the command that opened it.
class GuardHold {
public:
    GuardHold() = default;
    // The hold of `guard`, or an empty one when the guard is set already.
    static GuardHold Take(bool& guard) {
        if (guard) return {};
        guard = true;
        return GuardHold(&guard);
    }
    GuardHold(GuardHold&& other) noexcept : guard_(std::exchange(other.guard_, nullptr)) {}
    GuardHold& operator=(GuardHold&& other) noexcept {
        if (this != &other) {
            Release();
            guard_ = std::exchange(other.guard_, nullptr);
        }
        return *this;
    }
    GuardHold(const GuardHold&) = delete;
    GuardHold& operator=(const GuardHold&) = delete;
    ~GuardHold() { Release(); }

    explicit operator bool() const { return guard_ != nullptr; }
    // Clears the guard now (a window that lets the next command in before it is gone).
    void Release() {
        if (guard_) *guard_ = false;
        guard_ = nullptr;
    }

private:
    explicit GuardHold(bool* guard) : guard_(guard) {}
    bool* guard_ = nullptr;
};

// The colours the two colour boxes apply, and the colour chooser's custom
// colours, shared by both swatches and kept for the run.
struct ChosenColours {
    uint32_t text = kRed;
    uint32_t highlight = kYellow;
    std::array<uint32_t, 16> custom{};
};

// The criteria the search dialog applied (entries 1..count), and the scan
// position and results that the searches leave for the record navigator.
struct SearchSession {
    SearchCriteria criteria;
    int criteriaCount = 0;
    SearchState state;
};

struct ProgramState {
    // "Salir" was chosen: the settings are saved and every window of the
    // program is hidden. Work in progress (a save waiting on its question, a
    // search, a record being shown) runs to its end; each message loop ends
    // as soon as control comes back to it, and the program ends when the
    // main window's own loop regains control. From then on nothing changes
    // the editor's document: what a waiting save writes is what the user saw.
    bool ending = false;
    DatabaseLink link;
    WindowGuards guards;
    ChosenColours colours;
    SearchSession search;
    // The editor's document as RTF, captured by the record navigator and
    // filled with each record it shows; reading a document file discards it.
    DisplayTemplate display;
    // What showing one record after another keeps of the database files.
    DisplayCache displayCache;
    ui::NavigatorPosition navigator;
};

}  // namespace velmar
