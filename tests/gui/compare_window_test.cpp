// Tools > "Compare with File..." through the real main window: the list shows
// what the core comparison found, a double click shows that item and row, Copy
// gives the list as text, and the open project is not touched.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/compare_window.h"
#include "app/main_window.h"
#include "app/property_grid.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "model/kvx_file.h"
#include "model/texts.h"
#include "scripted_ui.h"

using namespace korvex;
using namespace korvex::app;

class CompareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void compareWithFileListsNavigatesAndCopies() {
        QTemporaryDir dir;
        ScriptedUi ui;
        RecentFiles recent(false);
        MainWindow w(ui, recent);
        w.newProject();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // The file: the open project with a changed data count and one more node.
        Project other = w.project();
        other.subnet(0).commands[1].dataCount.assign(1, '3');  // assign(): GCC 12 -O2 warns falsely (-Wrestrict) on = "3"
        SubnetConfig& c = other.subnet(0);
        c.nodes[static_cast<size_t>(c.nodeCount++)] = {"2", "Valve"};
        const QString path = dir.filePath(QStringLiteral("other.kvx"));
        QVERIFY(!writeProject(toPathBytes(path), other));
        const Project before = w.project();

        ui.openPaths.enqueue(path);
        w.action(Cmd::CompareWithFile)->trigger();
        CompareWindow* window = w.compareWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTreeWidget* list = window->list();
        QCOMPARE(list->headerItem()->text(3), qtext(texts::CompareColumnFile));
        QCOMPARE(list->topLevelItemCount(), 2);
        QTreeWidgetItem* count = list->topLevelItem(0);
        QCOMPARE(count->text(0), QStringLiteral("Subnet/Node-1/Preset Multiple Registers"));
        QCOMPARE(count->text(1), QStringLiteral("Number of Data"));
        QCOMPARE(count->text(3), QStringLiteral("3"));
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Subnet/Valve"));
        QCOMPARE(list->topLevelItem(1)->text(2), qtext(texts::CompareAbsent));

        // A double click selects the item and marks the row in the main window.
        QVERIFY(w.selectPath(QStringLiteral("Fieldbus")));
        const QRect r = list->visualItemRect(count);
        // As a real double click arrives: a click, then the double-click event.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(QString::fromStdString(w.session().pathText(w.session().selectedItem())),
                 QStringLiteral("Subnet/Node-1/Preset Multiple Registers"));
        QCOMPARE(w.grid()->item(w.grid()->currentRow(), 0)->text(), QStringLiteral("Number of Data"));

        window->copyButton()->click();
        const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("Item\tParameter\tProject\tFile"));
        QCOMPARE(lines.value(2), QStringLiteral("Subnet/Valve\t-\tabsent\tpresent"));

        QCOMPARE(w.project().subnet(0).commands[1].dataCount, before.subnet(0).commands[1].dataCount);
        QCOMPARE(w.project().subnet(0).nodeCount, before.subnet(0).nodeCount);
        QVERIFY(!w.project().modified);
    }

    void sameFileAndUnreadableFile() {
        QTemporaryDir dir;
        ScriptedUi ui;
        RecentFiles recent(false);
        MainWindow w(ui, recent);
        w.newProject();
        const QString same = dir.filePath(QStringLiteral("same.kvx"));
        QVERIFY(!writeProject(toPathBytes(same), w.project()));
        ui.openPaths.enqueue(same);
        w.action(Cmd::CompareWithFile)->trigger();
        QVERIFY(w.compareWindow());
        QCOMPARE(w.compareWindow()->summary()->text(), qtext(texts::CompareFileSame));
        QCOMPARE(w.compareWindow()->list()->topLevelItemCount(), 0);
        w.compareWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ui.openPaths.enqueue(dir.filePath(QStringLiteral("missing.kvx")));
        w.action(Cmd::CompareWithFile)->trigger();
        QCOMPARE(ui.boxes.size(), 1);
        QVERIFY(!w.compareWindow());
        w.project().modified = false;
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CompareWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "compare_window_test.moc"
