#pragma once
// What the main-window tests share: a window over a scripted UI (message boxes
// and file dialogs answered by a script), a private recent-file list and a
// temporary folder, helpers that click and read the grid, and the main()
// that runs a test class offscreen with settings in a private folder.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/config_tree.h"
#include "app/main_window.h"
#include "app/property_grid.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "model/kvx_file.h"
#include "model/texts.h"
#include "scripted_ui.h"

namespace korvex::app {

// Button texts of the "Save Configuration" question.
inline QString yesButton() { return qtext(texts::SaveConfigYes); }
inline QString noButton() { return qtext(texts::SaveConfigNo); }
inline QString cancelButton() { return qtext(texts::SaveConfigCancel); }

class MainWindowFixture {
protected:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<QTemporaryDir> dir_;

    // Before and after each test function.
    void setUp() {
        ui_ = std::make_unique<ScriptedUi>();
        recent_ = std::make_unique<RecentFiles>(false);
        dir_ = std::make_unique<QTemporaryDir>();
    }
    void tearDown() {
        if (window_) {
            window_->project().modified = false;  // no prompt on teardown
            window_.reset();
        }
    }

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
};

// Runs a test class offscreen (unless a platform is named), with settings and
// desktop files in a private folder.
inline int runWindowTest(QObject& test, int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

}  // namespace korvex::app
