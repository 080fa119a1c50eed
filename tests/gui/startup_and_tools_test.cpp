// The main window at start-up and around its tools: the command line and the
// start-up options, the recent files, which tools each variant enables, Help,
// About, the splash and the desktop files. The editing paths are in
// main_window_test.cpp.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <sys/stat.h>

#include "app/about_dialog.h"
#include "app/desktop_integration.h"
#include "app/search_dialog.h"
#include "app/splash_dialog.h"
#include "app/startup.h"
#include "main_window_fixture.h"

using namespace korvex;
using namespace korvex::app;

Q_DECLARE_METATYPE(korvex::app::Cmd)

class StartupAndToolsTest : public QObject, protected MainWindowFixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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

    // An EtherNet/IP project is compared over Ethernet: the search window picks
    // the gateway first, as for an Upload; leaving it compares nothing and
    // touches nothing. (The comparison itself: ethernet_dialogs_test.cpp.)
    void gatewayCompareOverEthernetStartsWithTheSearch() {
        const QByteArray saved = qgetenv("KORVEX_SEARCH_BROADCAST");
        qputenv("KORVEX_SEARCH_BROADCAST", "127.255.255.255");  // nothing leaves the machine
        MainWindow& w = openWindow();
        QVERIFY(w.openFile(writeKindFile(4, QStringLiteral("ethernet.kvx"))));
        const std::vector<std::uint8_t> before = projectFileBytes(w.project());
        bool searched = false;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, this, [&searched] {
            if (auto* search = qobject_cast<SearchDialog*>(QApplication::activeModalWidget())) {
                searched = true;
                search->reject();
            }
        });
        driver.start();
        w.action(Cmd::CompareWithGateway)->trigger();
        driver.stop();
        if (saved.isEmpty()) qunsetenv("KORVEX_SEARCH_BROADCAST");
        else qputenv("KORVEX_SEARCH_BROADCAST", saved);
        QVERIFY(searched);
        QCOMPARE(ui_->boxTexts(), QStringList{});
        QVERIFY(!w.compareWindow());
        QVERIFY(projectFileBytes(w.project()) == before);
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
    StartupAndToolsTest test;
    return runWindowTest(test, argc, argv);
}

#include "startup_and_tools_test.moc"
