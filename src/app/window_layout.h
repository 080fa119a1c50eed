#pragma once
// Where the main window opens and what it keeps between runs. Its sizes are
// fitted to the available area of the screen (at any scale factor the logical
// area may be much smaller than the window's usual size), and its geometry and
// pane layout are remembered in the user's settings; a remembered geometry that
// fits no screen any more is ignored.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <optional>

class QSettings;

namespace korvex::app {

// Room left around a fitted window for the frame and title bar that a window
// manager adds, so the whole frame stays on the screen.
inline constexpr QSize kFrameAllowance(16, 48);

// `wanted`, made smaller where it does not fit into `available` less the frame
// allowance (never below 1 x 1).
QSize fittedSize(QSize wanted, QSize available);

// A window of the fitted size, centred in the available area.
QRect centredGeometry(QSize wanted, const QRect& available);

// Whether the window geometry (without its frame) lies inside the available area
// of one of the screens.
bool fitsAScreen(const QRect& geometry, const QList<QRect>& availableAreas);

// The available areas of the screens now attached.
QList<QRect> availableScreenAreas();

// What the window remembers between runs.
struct RememberedLayout {
    QRect geometry;     // the normal (not maximised) geometry, without the frame
    bool maximized = false;
    QByteArray panes;   // QMainWindow::saveState: dock positions and sizes
};

// Reads the remembered layout; nullopt when nothing usable was stored.
std::optional<RememberedLayout> readRememberedLayout(QSettings& settings);
void writeRememberedLayout(QSettings& settings, const RememberedLayout& layout);

}  // namespace korvex::app
