#include "app/export_command.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>
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

namespace {

// Where the workbook went; its "Open" button when the desktop can open it.
void reportWritten(QWidget* parent, UiServices& ui, const QString& written) {
    const std::string shown = written.toUtf8().toStdString();
    if (auto* window = qobject_cast<QMainWindow*>(parent))
        window->statusBar()->showMessage(qtext(Message{texts::ExportWrittenStatus, {shown}}));
    BoxRequest request;
    request.title = qtext(texts::AppShortName);
    request.text = qtext(Message{texts::ExportWritten, {shown}});
    request.icon = BoxIcon::Information;
    const bool canOpen = ui.hasLauncher();
    if (canOpen) request.buttons.append(qtext(texts::ExportOpenButton));
    request.buttons.append(qtext(texts::AppButtonOk));
    request.defaultButton = request.escapeButton = static_cast<int>(request.buttons.size()) - 1;
    const int pressed = ui.messageBox(parent, request);
    if (!canOpen || pressed != 0) return;
    if (!ui.openUrl(QUrl::fromLocalFile(written))) {
        BoxRequest failed;
        failed.title = qtext(texts::AppShortName);
        failed.text = qtext(Message{texts::ExportOpenFailed, {shown}});
        failed.icon = BoxIcon::Warning;
        failed.buttons = {qtext(texts::AppButtonOk)};
        ui.messageBox(parent, failed);
    }
}

}  // namespace

QString exportExcelTo(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode, const QString& path) {
    const QString target = QFileInfo(withWorkbookExtension(path)).absoluteFilePath();
    const auto dirs = templateSearchDirectories(toPathBytes(QCoreApplication::applicationDirPath()));
    if (const auto err = exportProjectToExcel(project, plcAddressMode, dirs, toPathBytes(target))) {
        BoxRequest request;
        request.title = qtext(texts::AppShortName);
        request.text = fromCoreText(err->text());
        request.icon = BoxIcon::Warning;
        request.buttons = {qtext(texts::AppButtonOk)};
        ui.messageBox(parent, request);
        return {};
    }
    reportWritten(parent, ui, target);
    return target;
}

QString runExportExcel(QWidget* parent, UiServices& ui, const Project& project, bool plcAddressMode) {
    const QString path = chooseWorkbookPath(parent, ui);
    if (path.isEmpty()) return {};
    return exportExcelTo(parent, ui, project, plcAddressMode, path);
}

}  // namespace korvex::app
