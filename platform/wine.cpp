#include "platform/wine.h"

#include <windows.h>

namespace velmar::platform {

namespace {

std::optional<bool> standIn;

bool AskNtdll() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

bool RunningUnderWine() {
    static const bool underWine = AskNtdll();
    return standIn.value_or(underWine);
}

ScopedWineAnswer::ScopedWineAnswer(bool underWine) : previous_(standIn) { standIn = underWine; }

ScopedWineAnswer::~ScopedWineAnswer() { standIn = previous_; }

}  // namespace velmar::platform
