#pragma once
// Start-up: the command line, the file association, the splash, the recent-file
// list, the first project (new, or the file named on the command line) and the
// main window with its remembered geometry and panes, then the scripted-check
// exits (--quit-after-show, --screenshot). Scripted checks neither read nor
// write the remembered layout, so their pictures do not depend on the last run.
#include <QString>
#include <QStringList>

namespace korvex::app {

class UiServices;

struct StartupOptions {
    bool noSplash = false;
    bool quitAfterShow = false;
    QString screenshot;  // save the shown window (or its open dialog) to this PNG file and exit
    bool conflictView = false;  // open the mapping conflict view once the window is shown
    QString select;      // tree item path to select before showing
    QString file;        // project file to open; empty: a new project
    QStringList serialPorts;  // --serial-port paths, then those of KORVEX_SERIAL_PORTS
    QString error;       // non-empty: the command line was wrong
    bool helpShown = false;
    // Refresh the desktop and MIME caches after writing the association files
    // (off in tests, which point XDG_DATA_HOME at a scratch folder).
    bool updateDesktopCaches = true;
};

// args includes the program name. The positional words are joined with single
// blanks, so a path with blanks arrives whole even when it was not quoted.
StartupOptions parseStartupOptions(const QStringList& args);

// Runs start-up and the event loop; returns the exit code.
int runKorvex(const StartupOptions& options, UiServices& ui);

}  // namespace korvex::app
