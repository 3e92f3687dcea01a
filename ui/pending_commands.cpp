// Hooks for the menu commands whose windows are not written yet. Each one is
// replaced by its real handler in that window's own file; until then the
// command does nothing (for "Navegador" and "Buscar" the database dialog flag
// stays set, as if the window were open).
#include "ui/main_window_commands.h"

namespace velmar::ui {

void RunLinkDialog(MainWindow&) {}
void OpenRecordNavigator(MainWindow&) {}
void OpenSearchDialog(MainWindow&) {}

}  // namespace velmar::ui
