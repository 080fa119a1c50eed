#include "app/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/desktop_integration.h"
#include "app/main_window.h"
#include "app/mapping_conflict_view.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/splash_dialog.h"
#include "app/ui_services.h"
#include "io/port_list.h"
#include "model/texts.h"

namespace korvex::app {

StartupOptions parseStartupOptions(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(qtext(texts::AppTitle));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption noSplash(QStringLiteral("no-splash"), qtext(texts::CliNoSplash));
    const QCommandLineOption quitAfterShow(QStringLiteral("quit-after-show"), qtext(texts::CliQuitAfterShow));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), qtext(texts::CliScreenshot),
                                        QStringLiteral("FILE.png"));
    const QCommandLineOption select(QStringLiteral("select"), qtext(texts::CliSelect), QStringLiteral("PATH"));
    const QCommandLineOption conflictView(QStringLiteral("conflict-view"), qtext(texts::CliConflictView));
    const QCommandLineOption serialPort(QStringLiteral("serial-port"), qtext(texts::CliSerialPort),
                                        QStringLiteral("PATH"));
    parser.addOptions({noSplash, quitAfterShow, screenshot, select, conflictView, serialPort});
    parser.addPositionalArgument(QStringLiteral("file"), qtext(texts::CliFile), QStringLiteral("[FILE.kvx]"));

    StartupOptions out;
    if (!parser.parse(args)) {
        out.error = parser.errorText();
        return out;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        out.helpShown = true;
        const QString text = parser.isSet(help) ? parser.helpText()
                                                : QStringLiteral("Korvex %1\n").arg(qtext(texts::AboutVersion));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return out;
    }
    out.noSplash = parser.isSet(noSplash);
    out.quitAfterShow = parser.isSet(quitAfterShow);
    out.screenshot = parser.value(screenshot);
    out.select = parser.value(select);
    out.conflictView = parser.isSet(conflictView);
    out.serialPorts = parser.values(serialPort);
    for (const std::string& path : io::portsFromEnvironment()) out.serialPorts.append(QString::fromStdString(path));
    out.file = parser.positionalArguments().join(QLatin1Char(' ')).trimmed();
    return out;
}

int runKorvex(const StartupOptions& options, UiServices& ui) {
    // The file association for the user; failures are ignored.
    registerFileAssociation(QCoreApplication::applicationFilePath(), options.updateDesktopCaches);

    if (!options.noSplash) {
        SplashDialog splash;
        splash.exec();
    }

    RecentFiles recent;
    MainWindow window(ui, recent);
    window.addSerialPorts(options.serialPorts);
    if (options.file.isEmpty()) {
        window.newProject();
    } else if (!window.openFile(options.file)) {
        return 1;
    }
    window.enumerateSerialPorts();
    if (!options.select.isEmpty() && !window.selectPath(options.select))
        std::fprintf(stderr, "korvex: no tree item %s\n", options.select.toLocal8Bit().constData());
    const bool scripted = options.quitAfterShow || !options.screenshot.isEmpty();
    QSettings settings;
    if (!scripted) window.restoreLayout(settings);
    window.show();

    // The plain view, as the conflict command shows it once the base-address
    // question is declined.
    std::unique_ptr<ConflictViewDialog> conflict;
    if (options.conflictView) {
        conflict = std::make_unique<ConflictViewDialog>(&window, window.project(), nullptr);
        QTimer::singleShot(0, conflict.get(), [&conflict] { conflict->open(); });
    }

    int code = 0;
    if (!options.screenshot.isEmpty()) {
        // Give the window a moment to lay out its panes before the picture.
        QTimer::singleShot(300, &window, [&window, &options, &code] {
            QWidget* shown = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &window;
            if (!shown->grab().save(options.screenshot, "PNG")) {
                std::fprintf(stderr, "%s\n",
                             qtext(Message{texts::ScreenshotFailed, {options.screenshot.toStdString()}})
                                 .toLocal8Bit()
                                 .constData());
                code = 1;
            }
            QCoreApplication::exit(code);
        });
    } else if (options.quitAfterShow) {
        QTimer::singleShot(0, &window, [] { QCoreApplication::exit(0); });
    }
    const int loop = QApplication::exec();
    if (!scripted) window.saveLayout(settings);
    return code != 0 ? code : loop;
}

}  // namespace korvex::app
