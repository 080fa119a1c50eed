#pragma once
// "Export EXCEL" (Tools menu, Ctrl+E): the save dialog, the export of the open
// project into a workbook made from the export templates, a failure shown in a
// message box, and where the workbook went: the window's status bar and a
// message that offers to open it when the desktop has a program for that. The
// rules live in the core (export/); this is the window's side.
#include <QString>

#include "app/ui_services.h"
#include "model/project.h"

class QWidget;

namespace korvex::app {

// A name from the save dialog with ".xlsx" appended when it has no extension.
QString withWorkbookExtension(const QString& path);

// The command after the file was chosen: exports into `path` (".xlsx" appended
// when it has no extension) and shows a failure in a message box. A written
// workbook is named in the status bar of `parent` (when it is a main window) and
// in a message; the message has an "Open" button, which opens the workbook with
// the desktop's program for it, when ui.hasLauncher(). Returns the workbook's
// absolute path, empty when nothing was written.
QString exportExcelTo(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode, const QString& path);

// The whole command. The save dialog offers .xlsx only; cancelling it ends the
// command with nothing done. With the real WidgetUiServices the dialog is a
// QFileDialog with the "xlsx" default suffix; other UiServices (tests) are asked
// through saveFileName. Returns what exportExcelTo returned (empty when cancelled).
QString runExportExcel(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode);

}  // namespace korvex::app
