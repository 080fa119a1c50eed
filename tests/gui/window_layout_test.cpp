// The window on the screen it opens on: it and its minimum fit the available
// area at any scale factor, the geometry and panes come back from the settings
// (unless the geometry fits no screen), the tree pane shows its items whole and
// the conflict view shows both grids. CTest runs this on several screens (sizes
// and scale factors); each check holds on every screen.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <memory>

#include "app/config_tree.h"
#include "app/main_window.h"
#include "app/mapping_conflict_view.h"
#include "app/property_grid.h"
#include "app/recent_files.h"
#include "app/window_layout.h"
#include "model/project.h"
#include "scripted_ui.h"

using namespace korvex;
using namespace korvex::app;

class WindowLayoutTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    std::unique_ptr<QTemporaryDir> dir_;

    std::unique_ptr<MainWindow> makeWindow() {
        auto w = std::make_unique<MainWindow>(*ui_, *recent_);
        w->newProject();
        w->grid()->setPopupsEnabled(false);
        return w;
    }

    static void showAndWait(QWidget& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
    }

    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    static QString describe(const QRect& r) {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    QString settingsFile() const { return dir_->filePath(QStringLiteral("layout.conf")); }

private slots:
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        recent_ = std::make_unique<RecentFiles>(false);
        dir_ = std::make_unique<QTemporaryDir>();
    }

    void windowAndItsMinimumFitTheScreen() {
        auto w = makeWindow();
        showAndWait(*w);
        const QRect area = available();
        QVERIFY2(area.contains(w->frameGeometry()),
                 qPrintable(describe(w->frameGeometry()) + QStringLiteral(" on ") + describe(area)));
        // Where the screen has room, the usual sizes stay.
        if (area.width() >= 1440 + kFrameAllowance.width() && area.height() >= 768 + kFrameAllowance.height())
            QCOMPARE(w->size(), QSize(1440, 768));
        if (area.width() >= 1050 + kFrameAllowance.width() && area.height() >= 700 + kFrameAllowance.height())
            QCOMPARE(w->minimumSize(), QSize(1050, 700));
        // The window can be made as small as its minimum (its panes and tool bar
        // do not hold it larger), and then it still fits.
        w->resize(w->minimumSize());
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), w->minimumSize());
        QVERIFY2(area.contains(w->frameGeometry()), qPrintable(describe(w->frameGeometry())));
    }

    void rememberedGeometryAndPanesComeBack() {
        const QRect area = available();
        QRect chosen;
        int treeWidth = 0;
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            auto w = makeWindow();
            showAndWait(*w);
            chosen = QRect(area.topLeft() + QPoint(kFrameAllowance.width() / 2, kFrameAllowance.height() - 8),
                           w->minimumSize());
            w->setGeometry(chosen);
            QCoreApplication::processEvents();
            // The user drags the tree pane wider and hides the prompt pane.
            w->resizeDocks({w->treeDock()}, {w->treeDock()->width() + 30}, Qt::Horizontal);
            w->action(Cmd::ViewPrompt)->trigger();
            QCoreApplication::processEvents();
            treeWidth = w->treeDock()->width();
            w->saveLayout(settings);
        }
        QSettings settings(settingsFile(), QSettings::IniFormat);
        auto w = makeWindow();
        QVERIFY(w->restoreLayout(settings));
        showAndWait(*w);
        QCOMPARE(w->geometry(), chosen);
        QCOMPARE(w->treeDock()->width(), treeWidth);
        QVERIFY(w->promptDock()->isHidden());
        QVERIFY(!w->action(Cmd::ViewPrompt)->isChecked());
    }

    void rememberedGeometryThatFitsNoScreenIsIgnored_data() {
        QTest::addColumn<QRect>("geometry");
        const QRect area = available();
        QTest::newRow("beyond the right edge") << QRect(area.right() + 200, area.top() + 50, 400, 300);
        QTest::newRow("larger than the screen") << QRect(area.topLeft(), area.size() + QSize(100, 100));
        QTest::newRow("partly off the top") << QRect(area.left() + 10, area.top() - 100, 400, 300);
        QTest::newRow("empty") << QRect();
    }

    void rememberedGeometryThatFitsNoScreenIsIgnored() {
        QFETCH(QRect, geometry);
        QSettings settings(settingsFile(), QSettings::IniFormat);
        RememberedLayout layout;
        layout.geometry = geometry;
        writeRememberedLayout(settings, layout);
        auto w = makeWindow();
        const QRect before = w->geometry();
        QVERIFY(!w->restoreLayout(settings));
        QCOMPARE(w->geometry(), before);
        showAndWait(*w);
        QVERIFY(available().contains(w->frameGeometry()));
    }

    void treePaneShowsEveryItemWholeAndKeepsTheUsersWidth() {
        auto w = makeWindow();
        showAndWait(*w);
        ConfigTree* tree = w->tree();
        tree->expandAll();
        QCoreApplication::processEvents();
        // The column is as wide as its longest text; no part of it is hidden.
        QCOMPARE(tree->horizontalScrollBar()->maximum(), 0);
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect r = tree->visualItemRect(*it);
            QVERIFY2(r.right() < tree->viewport()->width(), qPrintable((*it)->text(0)));
        }

        // A width the user set stays through New, Open and the tools.
        w->resizeDocks({w->treeDock()}, {w->treeDock()->width() + 25}, Qt::Horizontal);
        QCoreApplication::processEvents();
        const int chosen = w->treeDock()->width();
        w->newProject();
        w->rebuildFromProject();
        QCoreApplication::processEvents();
        QCOMPARE(w->treeDock()->width(), chosen);
    }

    void conflictViewShowsBothGridsAndKeepsItsLabels() {
        Project project;
        resetToDefaults(project);
        addDefaultNode(project);
        auto w = makeWindow();
        showAndWait(*w);
        ConflictViewDialog view(w.get(), project, nullptr);
        showAndWait(view);
        const QRect area = available();
        QVERIFY2(area.contains(view.frameGeometry()), qPrintable(describe(view.frameGeometry())));
        // From 1366 x 768 up, all 16 byte columns of both grids are in sight.
        if (area.width() >= 1366 && area.height() >= 768) {
            for (Grid g : {Grid::Input, Grid::Output}) {
                QTableView* grid = view.grid(g);
                QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
                QVERIFY(grid->columnViewportPosition(16) + grid->columnWidth(16) <= grid->viewport()->width());
            }
        }
        // Made narrow and scrolled sideways, the address labels stay at the left.
        view.resize(420, 300);
        QCoreApplication::processEvents();
        QTableView* grid = view.grid(Grid::Input);
        QScrollBar* sideways = grid->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0);
        sideways->setValue(sideways->maximum());
        QCoreApplication::processEvents();
        QVERIFY(grid->columnAt(0) > 1);  // the first byte columns scrolled away
        QHeaderView* labels = grid->verticalHeader();
        QVERIFY(labels->isVisible());
        QVERIFY(labels->geometry().right() < grid->viewport()->geometry().left());
        QCOMPARE(grid->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("0010"));
        QCOMPARE(view.model(Grid::Output)->headerData(0, Qt::Vertical).toString(), QStringLiteral("4000"));
    }
};

int main(int argc, char** argv) {
    // Offscreen by default; no settings of the user are read or written.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);
    WindowLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_layout_test.moc"
