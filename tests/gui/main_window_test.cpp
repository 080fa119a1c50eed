// End-to-end paths through the real main window: the editing rules themselves
// are covered by the editor core's tests; these check that the window shows
// what the session computes and routes what the user does. Start-up, the tools,
// Help and the desktop files are in startup_and_tools_test.cpp.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <sys/stat.h>

#include "app/config_tree.h"
#include "app/main_window.h"
#include "app/prompt_pane.h"
#include "app/property_grid.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/select_command_dialog.h"
#include "model/kvx_file.h"
#include "main_window_fixture.h"
#include "model/texts.h"
#include "scripted_ui.h"

using namespace korvex;
using namespace korvex::app;

Q_DECLARE_METATYPE(korvex::app::Cmd)

class MainWindowTest : public QObject, protected MainWindowFixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // ---- the frame ----

    void startsWithNewProjectTreeAndGrid() {
        MainWindow& w = openWindow();
        QCOMPARE(w.windowTitle(), qtext(texts::AppTitle));
        // The minimum is 1050 x 700 where the screen has room, else the screen's
        // available area (window_layout_test checks several screens).
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY(w.minimumSize() == QSize(1050, 700) ||
                (w.minimumSize().width() < room.width() && w.minimumSize().height() < room.height()));
        QCOMPARE(w.tree()->topLevelItemCount(), 2);
        QCOMPARE(w.tree()->topLevelItem(0)->text(0), QStringLiteral("Fieldbus"));
        QCOMPARE(w.tree()->topLevelItem(1)->text(0), QStringLiteral("Subnet"));
        QCOMPARE(childTexts(w, QStringLiteral("Subnet")), QStringList{QStringLiteral("Node-1")});
        QCOMPARE(childTexts(w, QStringLiteral("Subnet/Node-1")),
                 (QStringList{QStringLiteral("Read Holding Registers"), QStringLiteral("Preset Multiple Registers")}));
        // The first root is selected and shown.
        QCOMPARE(w.tree()->currentItem(), w.tree()->topLevelItem(0));
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Type of Protocol"));
        QCOMPARE(cell(w, 0, 1), QStringLiteral("PROFIBUS"));
        // A command selected: its rows and colours as the session computed them.
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1/Read Holding Registers")));
        QCOMPARE(w.tree()->currentItem()->text(0), QStringLiteral("Read Holding Registers"));
        for (int r = 0; r < kGridRowCount; ++r) {
            const GridRow& row = w.session().row(r);
            QCOMPARE(cell(w, r, 0), fromUtf8(row.label));
            QCOMPARE(cell(w, r, 1), fromProject(row.value));
            QCOMPARE(w.grid()->item(r, 1)->background().color() == QColor(200, 200, 200), row.grey);
        }
        // The grid columns share the view's width.
        const int width = w.grid()->viewport()->width();
        QVERIFY(qAbs(w.grid()->columnWidth(0) + w.grid()->columnWidth(1) - width) <= 1);
    }

    void menusAndToolBarCarryTheCommands() {
        MainWindow& w = openWindow();
        QCOMPARE(w.action(Cmd::New)->text(), QStringLiteral("New(&N)\tCtrl+N"));
        QCOMPARE(w.action(Cmd::AddNode)->text(), QStringLiteral("Add    Node"));
        QCOMPARE(w.action(Cmd::SerialConnection)->text(), QStringLiteral("Serial Connection "));
        QCOMPARE(w.action(Cmd::About)->text(), QStringLiteral("About "));
        const QList<QAction*> buttons = w.toolBar()->actions();
        QCOMPARE(buttons.size(), 15);
        QCOMPARE(buttons.first()->iconText(), QStringLiteral("New"));
        QCOMPARE(buttons.at(9)->iconText(), QStringLiteral("AutoMap"));
        QCOMPARE(buttons.last()->iconText(), QStringLiteral("Cancel Edit"));
    }

    void paneTogglesFollowVisibility() {
        MainWindow& w = openWindow();
        QAction* toggle = w.action(Cmd::ViewPrompt);
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(w.promptDock()->isHidden());
        QVERIFY(!toggle->isChecked());
        // A grid click does not bring the hidden pane back.
        QVERIFY(select(w, QStringLiteral("Subnet")));
        clickCell(w, 0, 1);
        QVERIFY(w.promptDock()->isHidden());
        toggle->trigger();
        QVERIFY(!w.promptDock()->isHidden());
        QVERIFY(toggle->isChecked());
    }

    // ---- editing through the grid ----

    void editBoxCommitsOnEnter() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        const int row = rowOfLabel(w, QStringLiteral("Response Timeout(5-60000ms)"));
        QVERIFY(row >= 0);
        clickCell(w, row, 1);
        QVERIFY(w.grid()->editOpen());
        QVERIFY(w.grid()->valueEdit()->isVisible());
        QCOMPARE(w.grid()->valueEdit()->text(), QStringLiteral("300"));
        // The help text of the clicked row is shown.
        QCOMPARE(w.prompt()->helpText(), fromProject(w.session().promptText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(!w.prompt()->helpText().isEmpty());
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("750"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Return);
        QVERIFY(!w.grid()->editOpen());
        QCOMPARE(w.project().subnet(0).responseTimeout, std::string("750"));
        QCOMPARE(cell(w, row, 1), QStringLiteral("750"));
    }

    void refusedValueShowsMessageAndKeepsModel() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        const int row = rowOfLabel(w, QStringLiteral("Response Timeout(5-60000ms)"));
        clickCell(w, row, 1);
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("70000"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Return);
        QCOMPARE(ui_->boxTexts(),
                 QStringList{qtext(Message{texts::ValueOutOfRange, {"Response Timeout(5-60000ms)"}})});
        QCOMPARE(w.project().subnet(0).responseTimeout, std::string("300"));
        QCOMPARE(cell(w, row, 1), QStringLiteral("300"));
    }

    void refusalWithoutMessageShowsTheReasonInTheStatusBar() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1/Read Holding Registers")));
        clickCell(w, 4, 1);  // "Mapping Address(HEX)"
        QVERIFY(w.grid()->editOpen());
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("xyz"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Return);
        QVERIFY(ui_->boxTexts().isEmpty());
        QCOMPARE(w.statusBar()->currentMessage(), qtext(Message{texts::RefusedMappingAddressForm, {"xyz"}}));
        QCOMPARE(cell(w, 4, 1), QStringLiteral("0H"));
        QVERIFY(!w.project().modified);
        // The next stored value clears it.
        clickCell(w, 4, 1);
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("10"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Return);
        QCOMPARE(w.project().subnet(0).commands[0].mappingAddress, std::string("10"));
        QCOMPARE(w.statusBar()->currentMessage(), qtext(texts::StatusReady));
    }

    void clickElsewhereCommitsPendingEdit() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        const int row = rowOfLabel(w, QStringLiteral("Scan Rate(1-255)"));
        clickCell(w, row, 1);
        QVERIFY(w.grid()->editOpen());
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("20"));
        // A click on the tree's "Fieldbus" item: the edit is committed first,
        // then the click selects the item.
        QTreeWidgetItem* fieldbus = w.tree()->topLevelItem(0);
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualItemRect(fieldbus).center());
        QCOMPARE(w.project().subnet(0).scanRate, std::string("20"));
        QCOMPARE(w.tree()->currentItem(), fieldbus);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Type of Protocol"));
    }

    void dropDownCommitsChoiceAndFollowsProtocol() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        QVERIFY(w.action(Cmd::CalculateMapping)->isEnabled());
        QVERIFY(w.action(Cmd::ConflictDetection)->isEnabled());
        clickCell(w, 0, 1);  // "Protocols Mode"
        QVERIFY(w.grid()->listOpen());
        ValueCombo* combo = w.grid()->valueCombo();
        QCOMPARE(combo->itemText(0), QStringLiteral("Modbus Master"));
        const int slave = combo->findText(QStringLiteral("Modbus Slave"));
        QVERIFY(slave >= 0);
        emit combo->activated(slave);
        QVERIFY(!w.grid()->listOpen());
        QCOMPARE(w.project().subnet(0).protocolMode, std::string("Modbus Slave"));
        QVERIFY(w.project().modified);
        // The branch of a subnet that is not "Modbus Master" shows no nodes, and
        // the mapping tools follow subnet 1's protocol.
        QVERIFY(childTexts(w, QStringLiteral("Subnet")).isEmpty());
        QVERIFY(!w.action(Cmd::CalculateMapping)->isEnabled());
        QVERIFY(!w.action(Cmd::ConflictDetection)->isEnabled());
    }

    void dropDownLosingFocusCommitsNothing() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        const int row = rowOfLabel(w, QStringLiteral("Parity Check"));
        clickCell(w, row, 1);
        QVERIFY(w.grid()->listOpen());
        emit w.grid()->valueCombo()->focusLost();
        QVERIFY(!w.grid()->listOpen());
        QVERIFY(!w.grid()->valueCombo()->isVisible());
        QCOMPARE(w.project().subnet(0).masterParity, std::string("None"));
        QVERIFY(!w.project().modified);
    }

    void escapeInTheEditBoxKeepsTheStoredValue() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1/Read Holding Registers")));
        const int row = rowOfLabel(w, QStringLiteral("Starting Address"));
        QVERIFY(row >= 0);
        const QString stored = cell(w, row, 1);
        clickCell(w, row, 1);
        QVERIFY(w.grid()->editOpen());
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("99"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Escape);
        QVERIFY(!w.grid()->editOpen());
        QVERIFY(!w.grid()->valueEdit()->isVisible());
        // The click elsewhere that used to commit the typed text commits nothing.
        QTreeWidgetItem* fieldbus = w.tree()->topLevelItem(0);
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualItemRect(fieldbus).center());
        QCOMPARE(w.tree()->currentItem(), fieldbus);
        QCOMPARE(QString::fromStdString(w.project().subnet(0).commands[0].startAddress), stored);
        QVERIFY(!w.project().modified);
        QVERIFY(ui_->boxes.isEmpty());
        // The cell opens again with the stored value, and Enter still commits.
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1/Read Holding Registers")));
        clickCell(w, row, 1);
        QCOMPARE(w.grid()->valueEdit()->text(), stored);
        w.grid()->valueEdit()->selectAll();
        QTest::keyClicks(w.grid()->valueEdit(), QStringLiteral("99"));
        QTest::keyClick(w.grid()->valueEdit(), Qt::Key_Return);
        QCOMPARE(w.project().subnet(0).commands[0].startAddress, std::string("99"));
    }

    void escapeInTheListKeepsTheStoredValue_data() {
        QTest::addColumn<bool>("inPopup");
        QTest::newRow("in the list") << false;
        QTest::newRow("in its pop-up, after moving the highlight") << true;
    }

    void escapeInTheListKeepsTheStoredValue() {
        QFETCH(bool, inPopup);
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        const int row = rowOfLabel(w, QStringLiteral("Parity Check"));
        clickCell(w, row, 1);
        QVERIFY(w.grid()->listOpen());
        ValueCombo* combo = w.grid()->valueCombo();
        // The pop-up's keys go to its list view (the offscreen platform cannot
        // keep a pop-up open, so the keys are sent to the view directly).
        QWidget* target = inPopup ? static_cast<QWidget*>(combo->view()) : combo;
        if (inPopup) QTest::keyClick(target, Qt::Key_Down);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!w.grid()->listOpen());
        QVERIFY(!combo->isVisible());
        QCOMPARE(w.project().subnet(0).masterParity, std::string("None"));
        QVERIFY(!w.project().modified);
    }

    // ---- moving around ----

    void newSelectionShowsTheGridFromItsFirstRow() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet")));
        QScrollBar* bar = w.grid()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        // A click on the node: its only row is in sight.
        const auto node = w.session().findItem("Subnet/Node-1");
        QVERIFY(node);
        QTreeWidgetItem* item = w.tree()->itemAtPath(*node);
        item->parent()->setExpanded(true);
        w.tree()->scrollToItem(item);
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualItemRect(item).center());
        QCOMPARE(w.session().selectedItem(), *node);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(w.grid()->rowAt(0), 0);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Slave Address(1-247)"));
    }

    void selectionSurvivesToolsThatRebuildTheTree_data() {
        QTest::addColumn<Cmd>("command");
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("conflict view") << Cmd::ConflictDetection << QStringList{qtext(texts::AppButtonCancel)};
        QTest::newRow("automatic mapping") << Cmd::CalculateMapping << QStringList{qtext(texts::AppButtonYes)};
    }

    void selectionSurvivesToolsThatRebuildTheTree() {
        QFETCH(Cmd, command);
        QFETCH(QStringList, answers);
        MainWindow& w = openWindow();
        const QString path = QStringLiteral("Subnet/Node-1/Preset Multiple Registers");
        QVERIFY(select(w, path));
        for (const QString& a : answers) ui_->buttons.enqueue(a);
        // The conflict view is modal: it is closed as soon as it shows.
        QTimer closer;
        connect(&closer, &QTimer::timeout, &closer, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        });
        closer.start(20);
        w.action(command)->trigger();
        closer.stop();
        QCOMPARE(QString::fromStdString(w.session().pathText(w.session().selectedItem())), path);
        QCOMPARE(w.tree()->currentItem()->text(0), QStringLiteral("Preset Multiple Registers"));
        QCOMPARE(cell(w, 1, 0), QStringLiteral("Function Code"));
        QCOMPARE(cell(w, 1, 1), QStringLiteral("16"));
    }

    // ---- nodes and commands ----

    void addNodeAndCommandsThroughMenuAndDialog() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Fieldbus")));
        QVERIFY(!w.action(Cmd::AddNode)->isEnabled());
        QVERIFY(select(w, QStringLiteral("Subnet")));
        QVERIFY(w.action(Cmd::AddNode)->isEnabled());
        w.action(Cmd::AddNode)->trigger();
        QCOMPARE(childTexts(w, QStringLiteral("Subnet")),
                 (QStringList{QStringLiteral("Node-1"), QStringLiteral("New Node")}));
        QCOMPARE(w.project().subnet(0).nodeCount, 2);

        QVERIFY(select(w, QStringLiteral("Subnet/New Node")));
        QVERIFY(w.action(Cmd::AddCommand)->isEnabled());
        w.action(Cmd::AddCommand)->trigger();
        SelectCommandDialog* dialog = w.selectCommandDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->list()->count(), 8);
        QCOMPARE(dialog->list()->item(0)->text(), QStringLiteral("01 Read Coil Status"));
        // Double clicks add one command each; the dialog stays open.
        QListWidget* list = dialog->list();
        for (int position : {0, 7}) {
            QListWidgetItem* item = list->item(position);
            const QPoint at = list->visualItemRect(item).center();
            // A real double click: press and release, then the double-click press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        QVERIFY(dialog->isVisible());
        QCOMPARE(childTexts(w, QStringLiteral("Subnet/New Node")),
                 (QStringList{QStringLiteral("Read Coil Status"), QStringLiteral("Preset Multiple Registers")}));
        QCOMPARE(w.project().subnet(0).commandCount, 4);
        QVERIFY(w.project().modified);
        dialog->close();

        // Delete Command on the new command's item.
        QVERIFY(select(w, QStringLiteral("Subnet/New Node/Read Coil Status")));
        QVERIFY(w.action(Cmd::DeleteCommand)->isEnabled());
        w.action(Cmd::DeleteCommand)->trigger();
        QCOMPARE(w.project().subnet(0).commandCount, 3);
        QCOMPARE(childTexts(w, QStringLiteral("Subnet/New Node")), QStringList{QStringLiteral("Preset Multiple Registers")});
    }

    void selectCommandWorksFromTheKeyboard() {
        MainWindow& w = openWindow();
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1")));
        w.action(Cmd::AddCommand)->trigger();
        SelectCommandDialog* dialog = w.selectCommandDialog();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->hint()->text(), qtext(texts::DlgSelectCommandHint));
        QVERIFY(dialog->hint()->isVisible());
        QVERIFY(!dialog->hint()->wordWrap());
        QCOMPARE(dialog->addButton()->text(), QStringLiteral("&Add"));
        QCOMPARE(dialog->closeButton()->text(), QStringLiteral("Close"));
        QListWidget* list = dialog->list();
        // Enter adds the highlighted command, once.
        list->setFocus();
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Return);
        // "Add" adds the newly highlighted one.
        QTest::keyClick(list, Qt::Key_Down);
        dialog->addButton()->click();
        QVERIFY(dialog->isVisible());
        const QString third = list->item(2)->text().section(QLatin1Char(' '), 1);
        const QString fourth = list->item(3)->text().section(QLatin1Char(' '), 1);
        QCOMPARE(childTexts(w, QStringLiteral("Subnet/Node-1")),
                 (QStringList{QStringLiteral("Read Holding Registers"), QStringLiteral("Preset Multiple Registers"), third,
                              fourth}));
        // Escape, like "Close", closes the dialog.
        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_VERIFY(!w.selectCommandDialog());
    }

    void treeMenuCopiesAndPastesNode() {
        MainWindow& w = openWindow();
        // Right click on the node: its menu, enabled by the session.
        const auto node = w.session().findItem("Subnet/Node-1");
        QVERIFY(node);
        emit w.tree()->contextMenuAt(*node, w.mapToGlobal(QPoint(20, 20)));
        QMenu* menu = w.findChild<QMenu*>(QStringLiteral("treeMenu"));
        QVERIFY(menu);
        QStringList enabled;
        for (QAction* a : menu->actions())
            if (a->isEnabled()) enabled.append(a->text());
        QCOMPARE(enabled, (QStringList{QStringLiteral("Add Node"), QStringLiteral("Delete Node"),
                                       QStringLiteral("Add Command"), QStringLiteral("Copy Node")}));
        menu->actions().at(4)->trigger();  // Copy Node
        menu->close();
        QCoreApplication::processEvents();

        const auto subnet = w.session().findItem("Subnet");
        QVERIFY(subnet);
        emit w.tree()->contextMenuAt(*subnet, w.mapToGlobal(QPoint(20, 20)));
        menu = w.findChild<QMenu*>(QStringLiteral("treeMenu"));
        QVERIFY(menu);
        QAction* paste = menu->actions().at(5);
        QCOMPARE(paste->text(), QStringLiteral("Paste Node"));
        QVERIFY(paste->isEnabled());
        paste->trigger();
        menu->close();
        QCOMPARE(childTexts(w, QStringLiteral("Subnet")), (QStringList{QStringLiteral("Node-1"), QStringLiteral("New Node")}));
        QCOMPARE(childTexts(w, QStringLiteral("Subnet/New Node")),
                 (QStringList{QStringLiteral("Read Holding Registers"), QStringLiteral("Preset Multiple Registers")}));
        QCOMPARE(w.project().subnet(0).commandCount, 4);
    }

    void renameNodeByLabelEdit() {
        MainWindow& w = openWindow();
        const auto path = w.session().findItem("Subnet/Node-1");
        QVERIFY(path);
        QTreeWidgetItem* item = w.tree()->itemAtPath(*path);
        item->setText(0, QStringLiteral("Pump station"));  // what the label editor does
        QCoreApplication::processEvents();
        QCOMPARE(w.project().subnet(0).nodes[0].name, std::string("Pump station"));
        QCOMPARE(childTexts(w, QStringLiteral("Subnet")), QStringList{QStringLiteral("Pump station")});
        // Other items keep their text.
        w.tree()->topLevelItem(0)->setText(0, QStringLiteral("Renamed"));
        QCoreApplication::processEvents();
        QCOMPARE(w.tree()->topLevelItem(0)->text(0), QStringLiteral("Fieldbus"));
    }

    // ---- the close prompt and the questions before New and Open ----

    void closePrompt_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("saveName");  // "-": the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<bool>("written");

        QTest::newRow("unmodified closes without asking") << false << QStringList{} << "-" << true << 0 << false;
        QTest::newRow("no closes without saving") << true << QStringList{noButton()} << "-" << true << 1 << false;
        QTest::newRow("cancel stays open") << true << QStringList{cancelButton()} << "-" << false << 1 << false;
        QTest::newRow("yes then cancelled file dialog stays open")
            << true << QStringList{yesButton()} << "-" << false << 1 << false;
        QTest::newRow("yes with a file saves and closes")
            << true << QStringList{yesButton()} << "saved" << true << 1 << true;
        QTest::newRow("yes with an unwritable path stays open")
            << true << QStringList{yesButton()} << "missing/dir/x.kvx" << false << 2 << false;
    }

    void closePrompt() {
        QFETCH(bool, modified);
        QFETCH(QStringList, buttons);
        QFETCH(QString, saveName);
        QFETCH(bool, closes);
        QFETCH(int, boxes);
        QFETCH(bool, written);

        MainWindow& w = openWindow();
        if (modified) makeModified(w);
        for (const QString& b : buttons) ui_->buttons.enqueue(b);
        if (saveName != QStringLiteral("-")) ui_->savePaths.enqueue(tempPath(saveName));

        QCOMPARE(w.close(), closes);
        QCOMPARE(ui_->boxes.size(), boxes);
        if (boxes > 0) {
            QCOMPARE(ui_->boxes.first().title, QStringLiteral("Save Configuration"));
            QCOMPARE(ui_->boxes.first().text, QStringLiteral("Configuration has been changed, save it or not?"));
            QCOMPARE(ui_->boxes.first().buttons,
                     (QStringList{QStringLiteral("Yes (&Y)"), QStringLiteral("No (&N)"), QStringLiteral("Cancel")}));
        }
        const QString savedPath = tempPath(QStringLiteral("saved.kvx"));
        QCOMPARE(QFile::exists(savedPath), written);
        if (written) {
            Project reread;
            QVERIFY(!openProject(toPathBytes(savedPath), reread));
            QCOMPARE(reread.subnet(0).nodeCount, 2);
            // Saving from the prompt does not adopt the path.
            QVERIFY(w.documentPath().isEmpty());
        }
        if (!closes) QVERIFY(w.project().modified || saveName == QStringLiteral("saved"));
    }

    void newAndOpenAskBeforeDiscarding_data() {
        QTest::addColumn<Cmd>("command");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("New, cancel keeps the project") << Cmd::New << cancelButton() << false;
        QTest::newRow("New, no discards") << Cmd::New << noButton() << true;
        QTest::newRow("New, yes then cancelled file dialog keeps") << Cmd::New << yesButton() << false;
        QTest::newRow("Open, cancel keeps the project") << Cmd::Open << cancelButton() << false;
        QTest::newRow("Open, no discards") << Cmd::Open << noButton() << true;
    }

    void newAndOpenAskBeforeDiscarding() {
        QFETCH(Cmd, command);
        QFETCH(QString, button);
        QFETCH(bool, replaced);
        const QString other = writeKindFile(0, QStringLiteral("devicenet.kvx"));
        MainWindow& w = openWindow();
        makeModified(w);
        ui_->buttons.enqueue(button);
        ui_->openPaths.enqueue(other);
        w.action(command)->trigger();
        QCOMPARE(ui_->boxes.size(), 1);
        QCOMPARE(ui_->boxes.first().text, qtext(texts::ConfigurationChanged));
        if (!replaced) {
            QCOMPARE(w.project().subnet(0).nodeCount, 2);
            QCOMPARE(w.project().deviceKind, 3);
            QCOMPARE(ui_->openDialogs, 0);
            return;
        }
        if (command == Cmd::New) {
            // The second New of a run gives subnet 1 no node.
            QCOMPARE(w.project().subnet(0).nodeCount, 0);
            QVERIFY(!w.project().modified);
        } else {
            QCOMPARE(w.project().deviceKind, 0);
            QCOMPARE(w.tree()->topLevelItem(0)->text(0), QStringLiteral("Fieldbus"));
            QCOMPARE(cell(w, 0, 1), QStringLiteral("DeviceNet"));
        }
    }

    void failedOpenKeepsTheOpenProject() {
        const QString bad = tempPath(QStringLiteral("bad.kvx"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a project");
        f.close();
        MainWindow& w = openWindow();
        makeModified(w);
        ui_->buttons.enqueue(noButton());
        ui_->openPaths.enqueue(bad);
        w.action(Cmd::Open)->trigger();
        QCOMPARE(ui_->boxes.size(), 2);
        QCOMPARE(ui_->boxes.last().text, qtext(texts::UnexpectedFileFormat));
        QCOMPARE(w.project().subnet(0).nodeCount, 2);
        QCOMPARE(childTexts(w, QStringLiteral("Subnet")), (QStringList{QStringLiteral("Node-1"), QStringLiteral("New Node")}));
        QVERIFY(w.documentPath().isEmpty());
    }

    void saveAsAppendsExtensionAndFailedSaveKeepsDocument() {
        MainWindow& w = openWindow();
        ui_->savePaths.enqueue(tempPath(QStringLiteral("plant")));
        w.action(Cmd::SaveAs)->trigger();
        const QString saved = tempPath(QStringLiteral("plant.kvx"));
        QCOMPARE(w.documentPath(), saved);
        QVERIFY(QFile::exists(saved));
        QCOMPARE(recent_->entries().value(0), saved);
        const QByteArray before = [&] {
            QFile f(saved);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();

        makeModified(w);
        ui_->savePaths.enqueue(tempPath(QStringLiteral("no/such/folder/x.kvx")));
        w.action(Cmd::SaveAs)->trigger();
        QCOMPARE(ui_->boxes.size(), 1);
        QCOMPARE(w.documentPath(), saved);
        QVERIFY(w.project().modified);
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);

        // Save goes to the document's path without asking.
        w.action(Cmd::Save)->trigger();
        QCOMPARE(ui_->saveDialogs, 2);
        QVERIFY(!w.project().modified);
    }

    // Save goes through the core's file rules: through a symbolic link the file
    // behind it is written and the link kept; a pipe in the chosen place is
    // refused with its message and the document keeps its own path.
    void saveThroughALinkAndOntoAPipe() {
        const QString behind = writeKindFile(0, QStringLiteral("behind.kvx"));
        const QString link = tempPath(QStringLiteral("link.kvx"));
        QVERIFY(QFile::link(QStringLiteral("behind.kvx"), link));
        MainWindow& w = openWindow();
        ui_->savePaths.enqueue(link);
        w.action(Cmd::SaveAs)->trigger();
        QVERIFY(ui_->boxes.isEmpty());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(w.documentPath(), link);
        Project reread;
        QVERIFY(!openProject(toPathBytes(behind), reread));
        QCOMPARE(reread.deviceKind, w.project().deviceKind);

        const QString pipe = tempPath(QStringLiteral("pipe.kvx"));
        QCOMPARE(::mkfifo(toPathBytes(pipe).c_str(), 0644), 0);
        makeModified(w);
        ui_->savePaths.enqueue(pipe);
        w.action(Cmd::SaveAs)->trigger();
        QCOMPARE(ui_->boxTexts(), QStringList{pipe + QStringLiteral(" is a device, a pipe or a socket, not a regular file.")});
        QCOMPARE(w.documentPath(), link);
        QVERIFY(w.project().modified);
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    }

    void withProjectExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "/tmp/plant" << "/tmp/plant.kvx";
        QTest::newRow("kvx kept") << "/tmp/plant.kvx" << "/tmp/plant.kvx";
        QTest::newRow("other extension kept") << "/tmp/plant.bak" << "/tmp/plant.bak";
        QTest::newRow("dot in folder only") << "/tmp/v1.5/plant" << "/tmp/v1.5/plant.kvx";
        QTest::newRow("cancelled") << "" << "";
    }

    void withProjectExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QCOMPARE(app::withProjectExtension(typed), saved);
    }
};

int main(int argc, char** argv) {
    MainWindowTest test;
    return runWindowTest(test, argc, argv);
}

#include "main_window_test.moc"
