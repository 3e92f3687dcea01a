// Menu commands of the main window whose work lives in the files of the
// document commands and of the database windows. The main window applies
// the guards before it calls them.
#pragma once

namespace velmar::ui {

class MainWindow;

enum class DocumentKind { Rtf, Txt };

// "Nuevo": empties the editor.
void NewDocument(MainWindow& window);
// "Leer RTF", "Importar de TXT": a chosen file into the editor.
void ReadDocument(MainWindow& window, DocumentKind kind);
// "Grabar RTF", "Exportar a TXT": the editor's content into a chosen file.
void WriteDocument(MainWindow& window, DocumentKind kind);

// "Vincular": runs the link dialog modally, without an owner, and returns
// when it closes.
void RunLinkDialog(MainWindow& window);
// "Navegador" and "Buscar": open their modeless window without an owner and
// return at once. The window clears the database dialog flag when it closes.
void OpenRecordNavigator(MainWindow& window);
void OpenSearchDialog(MainWindow& window);

}  // namespace velmar::ui
