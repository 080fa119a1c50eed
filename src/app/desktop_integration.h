#pragma once
// The Linux counterpart of the ".kvx" file association: a desktop entry that
// opens project files with this executable and a shared-mime-info type for
// *.kvx, written into the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share) when missing or out of date. Every failure is ignored.
#include <QString>

namespace korvex::app {

struct DesktopFiles {
    QString desktopEntry;  // .../applications/korvex.desktop
    QString mimePackage;   // .../mime/packages/korvex-kvx.xml
};

// The paths below the user's data folder.
DesktopFiles userDesktopFiles();

// Contents, for an executable at exePath ("korvex" when installed in PATH).
QString desktopEntryText(const QString& exePath);
QString mimePackageText();

// Writes the two files when missing or different. Returns true when something
// was written. With updateCaches the desktop and MIME databases of the user's
// folder are refreshed in the background (detached, not waited for).
bool registerFileAssociation(const QString& exePath, bool updateCaches);

}  // namespace korvex::app
