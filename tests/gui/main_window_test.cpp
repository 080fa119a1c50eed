// End-to-end paths through the real main window: the editing rules themselves
// are covered by the editor core's tests; these check that the window shows
// what the session computes and routes what the user does.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
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

#include "app/about_dialog.h"
#include "app/config_tree.h"
#include "app/desktop_integration.h"
#include "app/main_window.h"
#include "app/prompt_pane.h"
#include "app/property_grid.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/select_command_dialog.h"
#include "app/splash_dialog.h"
#include "app/startup.h"
#include "model/kvx_file.h"
#include "model/texts.h"
#include "scripted_ui.h"

using namespace korvex;
using namespace korvex::app;

Q_DECLARE_METATYPE(korvex::app::Cmd)

namespace {

// Button texts of the "Save Configuration" question.
QString yesButton() { return qtext(texts::SaveConfigYes); }
QString noButton() { return qtext(texts::SaveConfigNo); }
QString cancelButton() { return qtext(texts::SaveConfigCancel); }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QTemporaryDir> dir_;

    MainWindow& openWindow() {
        window_ = std::make_unique<MainWindow>(*ui_, *recent_);
        window_->newProject();
        window_->grid()->setPopupsEnabled(false);
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) qWarning("window not exposed");
        return *window_;
    }

    QString tempPath(const QString& name) const { return dir_->filePath(name); }

    // A project file of the given kind written by the core.
    QString writeKindFile(int kind, const QString& name) {
        Project p;
        resetToDefaults(p, kind);
        const QString path = tempPath(name);
        if (writeProject(toPathBytes(path), p)) qWarning("could not write fixture");
        return path;
    }

    bool select(MainWindow& w, const QString& path) { return w.selectPath(path); }

    QString cell(MainWindow& w, int row, int column) { return w.grid()->item(row, column)->text(); }

    void clickCell(MainWindow& w, int row, int column) {
        PropertyGrid* g = w.grid();
        const QRect r = g->visualRect(g->model()->index(row, column));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }

    int rowOfLabel(MainWindow& w, const QString& label) {
        for (int r = 0; r < w.grid()->rowCount(); ++r)
            if (cell(w, r, 0) == label) return r;
        return -1;
    }

    QStringList childTexts(MainWindow& w, const QString& path) {
        const auto p = w.session().findItem(path.toStdString());
        QTreeWidgetItem* item = p ? w.tree()->itemAtPath(*p) : nullptr;
        QStringList out;
        for (int i = 0; item && i < item->childCount(); ++i) out.append(item->child(i)->text(0));
        return out;
    }

    // Makes the project modified through the window (Add Node on "Subnet").
    void makeModified(MainWindow& w) {
        QVERIFY(select(w, QStringLiteral("Subnet")));
        w.action(Cmd::AddNode)->trigger();
        QVERIFY(w.project().modified);
    }

private slots:
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        recent_ = std::make_unique<RecentFiles>(false);
        dir_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        if (window_) {
            window_->project().modified = false;  // no prompt on teardown
            window_.reset();
        }
    }

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

    // ---- start-up ----

    void fileOnTheCommandLineOpens() {
        const QString path = writeKindFile(4, QStringLiteral("line one plant.kvx"));
        // Unquoted, the path arrives in pieces; they are joined again.
        const QStringList pieces = path.split(QLatin1Char(' '));
        const StartupOptions options =
            parseStartupOptions(QStringList{QStringLiteral("korvex"), QStringLiteral("--no-splash")} + pieces);
        QVERIFY(options.error.isEmpty());
        QVERIFY(options.noSplash);
        QCOMPARE(options.file, path);
        MainWindow& w = openWindow();
        QVERIFY(w.openFile(options.file));
        QCOMPARE(w.project().deviceKind, 4);
        QCOMPARE(w.tree()->topLevelItem(0)->text(0), QStringLiteral("Ethernet"));
        QCOMPARE(recent_->entries().value(0), path);
    }

    void startUpOpensTheNamedFileOrEnds_data() {
        QTest::addColumn<QString>("fileName");  // "": no file, a new project
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("new project") << QString() << 0 << QStringList{};
        QTest::newRow("readable file") << QStringLiteral("good.kvx") << 0 << QStringList{};
        QTest::newRow("unreadable file ends the process")
            << QStringLiteral("bad.kvx") << 1 << QStringList{qtext(texts::UnexpectedFileFormat)};
    }

    void startUpOpensTheNamedFileOrEnds() {
        QFETCH(QString, fileName);
        QFETCH(int, exitCode);
        QFETCH(QStringList, messages);
        writeKindFile(3, QStringLiteral("good.kvx"));
        QFile bad(tempPath(QStringLiteral("bad.kvx")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("KVX?");
        bad.close();
        StartupOptions options;
        options.noSplash = true;
        options.quitAfterShow = true;
        options.updateDesktopCaches = false;
        if (!fileName.isEmpty()) options.file = tempPath(fileName);
        QCOMPARE(runKorvex(options, *ui_), exitCode);
        QCOMPARE(ui_->boxTexts(), messages);
        // The association files are in place for the user.
        QVERIFY(QFile::exists(userDesktopFiles().desktopEntry));
    }

    void recentFilesListOpenedFilesAndDropMissingOnes() {
        const QString first = writeKindFile(0, QStringLiteral("first.kvx"));
        const QString second = writeKindFile(4, QStringLiteral("second & more.kvx"));
        MainWindow& w = openWindow();
        QCOMPARE(w.recentActions().size(), 1);  // the disabled placeholder
        QVERIFY(!w.recentActions().first()->isEnabled());
        QVERIFY(w.openFile(first));
        QVERIFY(w.openFile(second));
        QCOMPARE(w.recentActions().size(), 2);
        QCOMPARE(w.recentActions().at(0)->text(), QStringLiteral("&1 ") + QString(second).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QCOMPARE(w.recentActions().at(1)->text(), QStringLiteral("&2 ") + first);
        w.recentActions().at(1)->trigger();
        QCOMPARE(w.project().deviceKind, 0);
        QCOMPARE(recent_->entries().value(0), first);
        // An entry whose file is gone is shown as an error and leaves the list.
        QVERIFY(QFile::remove(second));
        w.recentActions().at(1)->trigger();
        QCOMPARE(ui_->boxes.size(), 1);
        QCOMPARE(recent_->entries(), QStringList{first});
        QCOMPARE(w.project().deviceKind, 0);
    }

    void startupOptions() {
        const StartupOptions o = parseStartupOptions(
            {QStringLiteral("korvex"), QStringLiteral("--quit-after-show"), QStringLiteral("--screenshot"),
             QStringLiteral("shot.png")});
        QVERIFY(o.quitAfterShow);
        QCOMPARE(o.screenshot, QStringLiteral("shot.png"));
        QVERIFY(o.file.isEmpty());
        QVERIFY(!parseStartupOptions({QStringLiteral("korvex"), QStringLiteral("--bogus")}).error.isEmpty());
    }

    void connectionCommandsFollowDeviceKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("ethernet");
        QTest::newRow("DeviceNet") << 0 << true << false;
        QTest::newRow("no fieldbus") << 2 << true << false;
        QTest::newRow("PROFIBUS") << 3 << true << false;
        QTest::newRow("EtherNet/IP") << 4 << false << true;
    }

    void connectionCommandsFollowDeviceKind() {
        QFETCH(int, kind);
        QFETCH(bool, serial);
        QFETCH(bool, ethernet);
        const QString path = writeKindFile(kind, QStringLiteral("kind.kvx"));
        MainWindow& w = openWindow();
        QVERIFY(w.openFile(path));
        QCOMPARE(w.action(Cmd::SerialConnection)->isEnabled(), serial);
        QCOMPARE(w.action(Cmd::EthernetConnection)->isEnabled(), ethernet);
    }

    void toolEnablingByVariant_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<bool>("flag243");
        QTest::addColumn<bool>("flag233b");
        QTest::addColumn<bool>("mappingTools");
        QTest::addColumn<bool>("conflict");
        QTest::addColumn<bool>("autoMap");
        QTest::addColumn<bool>("debug");
        QTest::newRow("new project") << 3 << true << false << false << true << true << true << true;
        QTest::newRow("subnet 1 not master") << 3 << true << false << false << false << false << false << true;
        QTest::newRow("EtherNet/IP debugs") << 4 << true << false << false << true << true << true << true;
        QTest::newRow("DeviceNet has no debug") << 0 << true << false << false << true << true << true << false;
        QTest::newRow("233b debugs any kind") << 0 << true << false << true << true << true << true << true;
        QTest::newRow("243 stops conflict and debug") << 3 << true << true << false << true << false << true << false;
        QTest::newRow("old file ignores mapping flag") << 3 << false << false << false << false << true << true << true;
        QTest::newRow("old file, kind 2 has no automap") << 2 << false << false << false << true << true << false << false;
        QTest::newRow("old file with 243") << 1 << false << true << false << true << false << false << false;
    }

    void toolEnablingByVariant() {
        QFETCH(int, kind);
        QFETCH(bool, extended);
        QFETCH(bool, flag243);
        QFETCH(bool, flag233b);
        QFETCH(bool, mappingTools);
        QFETCH(bool, conflict);
        QFETCH(bool, autoMap);
        QFETCH(bool, debug);
        Project p;
        resetToDefaults(p, kind);
        p.flags.extendedSettingsFlag = extended;
        p.flags.legacyFlag243 = flag243;
        p.flags.legacyFlag233b = flag233b;
        FrameFlags flags;
        flags.mappingToolsEnabled = mappingTools;
        const CommandEnabling e = commandEnabling(p, flags);
        QCOMPARE(e.conflictDetection, conflict);
        QCOMPARE(e.calculateMapping, autoMap);
        QCOMPARE(e.debug, debug);
        QVERIFY(e.upload && e.download && e.exportExcel && e.editBaseAddress);
        QVERIFY(!e.cancelBaseAddress);
    }

    void calculateMappingAsksRecalculatesAndMarksModified() {
        MainWindow& w = openWindow();
        w.project().subnet(0).commands[0].mappingAddress = "20";
        w.project().modified = false;
        w.action(Cmd::CalculateMapping)->trigger();  // default button: Yes
        QCOMPARE(ui_->boxes.size(), 1);
        QCOMPARE(ui_->boxes.at(0).text, qtext(texts::MappingCalculateQuestion));
        QCOMPARE(QString::fromStdString(w.project().subnet(0).commands[0].mappingAddress), QStringLiteral("0"));
        QVERIFY(w.project().modified);
        QVERIFY(select(w, QStringLiteral("Subnet/Node-1/Read Holding Registers")));
        QCOMPARE(cell(w, 4, 1), QStringLiteral("0H"));
    }

    void exportExcelSaysWhereTheWorkbookWent() {
        MainWindow& w = openWindow();
        ui_->savePaths.enqueue(tempPath(QStringLiteral("project")));
        w.action(Cmd::ExportExcel)->trigger();
        const QString written = QFileInfo(tempPath(QStringLiteral("project.xlsx"))).absoluteFilePath();
        QVERIFY2(QFile::exists(written), qPrintable(ui_->boxTexts().join('|')));
        QCOMPARE(ui_->boxTexts(), QStringList{qtext(Message{texts::ExportWritten, {written.toStdString()}})});
        QCOMPARE(w.statusBar()->currentMessage(), qtext(Message{texts::ExportWrittenStatus, {written.toStdString()}}));
        QVERIFY(ui_->openedUrls.isEmpty());
    }

    void ethernetTransfersSayNotAvailable() {
        MainWindow& w = openWindow();
        QVERIFY(w.openFile(writeKindFile(4, QStringLiteral("ethernet.kvx"))));
        w.action(Cmd::Upload)->trigger();
        QCOMPARE(ui_->boxTexts(), QStringList{qtext(texts::CommandNotAvailable)});
    }

    // ---- Help, About, splash, desktop files ----

    void helpContent_data() {
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<QString>("message");
        const auto failed = [](const Text& why) {
            return qtext(Message{texts::HelpOpenFailedWhy,
                                 {texts::HelpOpenFailed.str(), why.str(), texts::ProductPage.str()}});
        };
        QTest::newRow("off line") << false << true << true << qtext(texts::NetworkDisconnected);
        QTest::newRow("on line") << true << true << true << QString();
        QTest::newRow("on line, browser fails") << true << false << true << failed(texts::HelpLauncherFailed);
        QTest::newRow("on line, no launcher") << true << false << false << failed(texts::HelpNoLauncher);
    }

    void helpContent() {
        QFETCH(bool, online);
        QFETCH(bool, opens);
        QFETCH(bool, launcher);
        QFETCH(QString, message);
        MainWindow& w = openWindow();
        ui_->online = online;
        ui_->openUrlResult = opens;
        ui_->launcher = launcher;
        if (!opens) {
            // Why it failed and the address to open by hand, after the usual words.
            QVERIFY(message.startsWith(QStringLiteral("Open failed!\n")));
            QVERIFY(message.endsWith(QStringLiteral("\nhttps://korvex.example.com/tessaly")));
        }
        w.action(Cmd::Content)->trigger();
        QCOMPARE(ui_->boxTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(ui_->openedUrls.size(), online ? 1 : 0);
        QVERIFY(qtext(texts::NetworkDisconnected).endsWith(QChar(0xFF01)));
    }

    void messageBoxIsWideEnoughForItsTitle() {
        WidgetUiServices real;
        BoxRequest request;
        request.title = QStringLiteral("A title far longer than the text of its box");
        request.text = qtext(texts::HelpOpenFailed);
        request.buttons = {qtext(texts::AppButtonOk)};
        int width = 0;
        int titleWidth = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            width = box->width();
            titleWidth = box->fontMetrics().horizontalAdvance(request.title);
            box->reject();
        });
        real.messageBox(nullptr, request);
        QVERIFY(titleWidth > 0);
        QVERIFY2(width >= messageBoxMinimumWidth(request.title, QFontMetrics(QApplication::font())) && width > titleWidth,
                 qPrintable(QStringLiteral("%1 wide for a %2 wide title").arg(width).arg(titleWidth)));
    }

    void aboutShowsLogoOrEmptyArea() {
        const QString logo = tempPath(QStringLiteral("logo.png"));
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(logo));
        AboutDialog with(nullptr, logo);
        QCOMPARE(with.windowTitle(), QStringLiteral("About Software Korvex"));
        QVERIFY(!with.logoLabel()->pixmap().isNull());
        AboutDialog without(nullptr, tempPath(QStringLiteral("missing.png")));
        QVERIFY(without.logoLabel()->pixmap().isNull());
        QCOMPARE(without.logoLabel()->size(), with.logoLabel()->size());
        QVERIFY(!without.findChildren<QLabel*>().isEmpty());
        bool version = false;
        for (QLabel* l : without.findChildren<QLabel*>()) version = version || l->text() == QStringLiteral("Version 1.5.1");
        QVERIFY(version);
    }

    void splashCountsDownAndClosesEarly() {
        SplashDialog splash;
        splash.show();
        QCOMPARE(splash.closeButton()->text(), QStringLiteral("Close (7)"));
        for (int i = 0; i < 6; ++i) splash.tick();
        QCOMPARE(splash.closeButton()->text(), QStringLiteral("Close (1)"));
        QVERIFY(splash.isVisible());
        splash.tick();
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.result(), int(QDialog::Accepted));

        SplashDialog early;
        early.show();
        early.closeButton()->click();
        QVERIFY(!early.isVisible());
    }

    void desktopFilesWrittenOnceIntoDataHome() {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_->path().toLocal8Bit());
        const QString exe = QStringLiteral("/opt/my tools/korvex");
        QVERIFY(registerFileAssociation(exe, false));
        const DesktopFiles files = userDesktopFiles();
        QVERIFY(files.desktopEntry.startsWith(dir_->path()));
        QFile desktop(files.desktopEntry);
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(desktop.readAll());
        QVERIFY(entry.contains(QStringLiteral("Exec=\"/opt/my tools/korvex\" %f\n")));
        QVERIFY(entry.contains(QStringLiteral("MimeType=application/x-korvex-project;")));
        QFile mime(files.mimePackage);
        QVERIFY(mime.open(QIODevice::ReadOnly));
        QVERIFY(mime.readAll().contains("<glob pattern=\"*.kvx\"/>"));
        // In place and unchanged: nothing is written again.
        QVERIFY(!registerFileAssociation(exe, false));
        // A moved executable updates the entry.
        QVERIFY(registerFileAssociation(QStringLiteral("/usr/bin/korvex"), false));
        if (saved.isEmpty()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", saved);
    }
};

int main(int argc, char** argv) {
    // Offscreen by default, and settings and desktop files in a private folder.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
