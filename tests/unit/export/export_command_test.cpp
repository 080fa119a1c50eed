// The window's side of "Export EXCEL", driven with scripted dialogs: the
// extension, the message box on failure and opening the saved workbook.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "app/export_command.h"
#include "model/project.h"
#include "scripted_ui.h"

using korvex::app::ScriptedUi;

class ExportCommandTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<korvex::Project> project() {
        auto p = std::make_unique<korvex::Project>();
        korvex::resetToDefaults(*p);
        korvex::addDefaultNode(*p);
        return p;
    }

private slots:
    void init() { qunsetenv("KORVEX_NO_OPEN"); }

    void appendsXlsxAndOpensTheWorkbook() {
        QTemporaryDir dir;
        ScriptedUi ui;
        ui.savePaths.enqueue(dir.filePath("plant"));
        korvex::app::runExportExcel(nullptr, ui, *project(), false);
        QCOMPARE(ui.saveDialogs, 1);
        QVERIFY(ui.boxes.isEmpty());
        QVERIFY(QFileInfo::exists(dir.filePath("plant.xlsx")));
        QCOMPARE(ui.openedUrls, QStringList{QUrl::fromLocalFile(dir.filePath("plant.xlsx")).toString()});
    }

    void keepsATypedExtension() {
        QCOMPARE(korvex::app::withWorkbookExtension("/a/b.xls"), QString("/a/b.xls"));
        QCOMPARE(korvex::app::withWorkbookExtension("/a.d/b"), QString("/a.d/b.xlsx"));
        QCOMPARE(korvex::app::withWorkbookExtension(""), QString());
    }

    void cancelledDialogDoesNothing() {
        ScriptedUi ui;
        korvex::app::runExportExcel(nullptr, ui, *project(), false);
        QVERIFY(ui.boxes.isEmpty());
        QVERIFY(ui.openedUrls.isEmpty());
    }

    void failureIsShownAndNothingOpened() {
        QTemporaryDir dir;
        ScriptedUi ui;
        const QString target = dir.filePath("missing/plant.xlsx");
        QVERIFY(!korvex::app::exportExcelTo(nullptr, ui, *project(), false, target));
        QCOMPARE(ui.boxTexts(), QStringList{target + " was not found."});
        QVERIFY(ui.openedUrls.isEmpty());
    }

    void noOpenWhenAskedNotTo() {
        qputenv("KORVEX_NO_OPEN", "1");
        QTemporaryDir dir;
        ScriptedUi ui;
        QVERIFY(korvex::app::exportExcelTo(nullptr, ui, *project(), false, dir.filePath("plant.xlsx")));
        QVERIFY(ui.openedUrls.isEmpty());
    }
};

QTEST_MAIN(ExportCommandTest)
#include "export_command_test.moc"
