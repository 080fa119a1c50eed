// The window's side of "Export EXCEL", driven with scripted dialogs: the
// extension, the message box on failure, and where a written workbook went with
// the offer to open it.
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/export_command.h"
#include "app/qt_text.h"
#include "model/project.h"
#include "model/texts.h"
#include "scripted_ui.h"

using korvex::app::ScriptedUi;
using korvex::app::qtext;

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
    void appendsXlsxAndSaysWhereItWent() {
        QTemporaryDir dir;
        ScriptedUi ui;
        QMainWindow window;
        ui.savePaths.enqueue(dir.filePath("plant"));
        const QString written = korvex::app::runExportExcel(&window, ui, *project(), false);
        const QString expected = QFileInfo(dir.filePath("plant.xlsx")).absoluteFilePath();
        QCOMPARE(written, expected);
        QCOMPARE(ui.saveDialogs, 1);
        QVERIFY(QFileInfo::exists(expected));
        QCOMPARE(ui.boxTexts(), QStringList{qtext(korvex::Message{korvex::texts::ExportWritten, {expected.toStdString()}})});
        QCOMPARE(window.statusBar()->currentMessage(),
                 qtext(korvex::Message{korvex::texts::ExportWrittenStatus, {expected.toStdString()}}));
        // Left alone, the message's default button opens nothing.
        QVERIFY(ui.openedUrls.isEmpty());
    }

    void openButtonFollowsTheLauncher_data() {
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("openWorks");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("boxes");
        const QString open = qtext(korvex::texts::ExportOpenButton);
        const QString ok = qtext(korvex::texts::AppButtonOk);
        QTest::newRow("no launcher: OK only") << false << QString() << true << QStringList{ok} << false << 1;
        QTest::newRow("launcher, OK pressed") << true << ok << true << QStringList{open, ok} << false << 1;
        QTest::newRow("launcher, Open pressed") << true << open << true << QStringList{open, ok} << true << 1;
        QTest::newRow("launcher fails to start") << true << open << false << QStringList{open, ok} << true << 2;
    }

    void openButtonFollowsTheLauncher() {
        QFETCH(bool, launcher);
        QFETCH(QString, press);
        QFETCH(bool, openWorks);
        QFETCH(QStringList, buttons);
        QFETCH(bool, opened);
        QFETCH(int, boxes);
        QTemporaryDir dir;
        ScriptedUi ui;
        ui.launcher = launcher;
        ui.openUrlResult = openWorks;
        if (!press.isEmpty()) ui.buttons.enqueue(press);
        const QString target = dir.filePath("plant.xlsx");
        QCOMPARE(korvex::app::exportExcelTo(nullptr, ui, *project(), false, target), target);
        QCOMPARE(ui.boxes.size(), boxes);
        QCOMPARE(ui.boxes.first().buttons, buttons);
        QCOMPARE(ui.boxes.first().buttons.at(ui.boxes.first().defaultButton), qtext(korvex::texts::AppButtonOk));
        QCOMPARE(ui.openedUrls, opened ? QStringList{QUrl::fromLocalFile(target).toString()} : QStringList{});
        if (boxes == 2)
            QCOMPARE(ui.boxes.last().text, qtext(korvex::Message{korvex::texts::ExportOpenFailed, {target.toStdString()}}));
    }

    void keepsATypedExtension() {
        QCOMPARE(korvex::app::withWorkbookExtension("/a/b.xls"), QString("/a/b.xls"));
        QCOMPARE(korvex::app::withWorkbookExtension("/a.d/b"), QString("/a.d/b.xlsx"));
        QCOMPARE(korvex::app::withWorkbookExtension(""), QString());
    }

    void cancelledDialogDoesNothing() {
        ScriptedUi ui;
        QVERIFY(korvex::app::runExportExcel(nullptr, ui, *project(), false).isEmpty());
        QVERIFY(ui.boxes.isEmpty());
        QVERIFY(ui.openedUrls.isEmpty());
    }

    void failureIsShownAndNothingOpened() {
        QTemporaryDir dir;
        ScriptedUi ui;
        const QString target = dir.filePath("missing/plant.xlsx");
        QVERIFY(korvex::app::exportExcelTo(nullptr, ui, *project(), false, target).isEmpty());
        QCOMPARE(ui.boxTexts(), QStringList{target + " was not found."});
        QVERIFY(ui.openedUrls.isEmpty());
    }
};

QTEST_MAIN(ExportCommandTest)
#include "export_command_test.moc"
