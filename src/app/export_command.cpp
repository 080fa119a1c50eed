#include "app/export_command.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include "app/qt_text.h"
#include "export/excel_export.h"
#include "model/texts.h"

namespace korvex::app {
namespace {

QString chooseWorkbookPath(QWidget* parent, UiServices& ui) {
    const QString filter = qtext(texts::ExportSaveFilter);
    if (dynamic_cast<WidgetUiServices*>(&ui)) {
        // The shared save dialog gives project files their extension; a
        // workbook gets its own, and the overwrite prompt sees the final name.
        QFileDialog dialog(parent, QString(), QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("xlsx"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }
    return ui.saveFileName(parent, filter, QString());
}

}  // namespace

QString withWorkbookExtension(const QString& path) {
    if (path.isEmpty()) return path;
    const QFileInfo info(path);
    if (info.suffix().isEmpty() && !info.fileName().endsWith(QLatin1Char('.'))) return path + QStringLiteral(".xlsx");
    return path;
}

bool exportExcelTo(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode, const QString& path) {
    const QString target = withWorkbookExtension(path);
    const auto dirs = templateSearchDirectories(toPathBytes(QCoreApplication::applicationDirPath()));
    if (const auto err = exportProjectToExcel(project, plcAddressMode, dirs, toPathBytes(target))) {
        BoxRequest request;
        request.title = qtext(texts::AppShortName);
        request.text = fromCoreText(err->text());
        request.icon = BoxIcon::Warning;
        request.buttons = {qtext(texts::AppButtonOk)};
        ui.messageBox(parent, request);
        return false;
    }
    // The counterpart of leaving the spreadsheet program open with the workbook;
    // without a default application for workbooks nothing happens.
    if (!qEnvironmentVariableIsSet("KORVEX_NO_OPEN"))
        ui.openUrl(QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
    return true;
}

void runExportExcel(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode) {
    const QString path = chooseWorkbookPath(parent, ui);
    if (path.isEmpty()) return;
    exportExcelTo(parent, ui, project, plcAddressMode, path);
}

void runExportExcel(QWidget* parent, const Project& project, bool plcAddressMode) {
    WidgetUiServices ui;
    runExportExcel(parent, ui, project, plcAddressMode);
}

}  // namespace korvex::app
