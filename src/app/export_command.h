#pragma once
// "Export EXCEL" (Tools menu, Ctrl+E): the save dialog, the export of the open
// project into a workbook made from the export templates, a failure shown in a
// message box, and the saved workbook opened with the desktop's default
// application. The rules live in the core (export/); this is the window's side.
#include <QString>

#include "app/ui_services.h"
#include "model/project.h"

class QWidget;

namespace korvex::app {

// A name from the save dialog with ".xlsx" appended when it has no extension.
QString withWorkbookExtension(const QString& path);

// The command after the file was chosen: exports into `path` (".xlsx" appended
// when it has no extension), shows a failure in a message box, and on success
// asks the desktop to open the workbook, unless the environment variable
// KORVEX_NO_OPEN is set. Returns whether the workbook was written.
bool exportExcelTo(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode, const QString& path);

// The whole command. The save dialog offers .xlsx only; cancelling it ends the
// command with nothing done. With the real WidgetUiServices the dialog is a
// QFileDialog with the "xlsx" default suffix; other UiServices (tests) are asked
// through saveFileName.
void runExportExcel(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode);
void runExportExcel(QWidget* parent, const Project& project, bool plcAddressMode);

}  // namespace korvex::app
