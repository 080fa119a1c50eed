#include "app/window_layout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <algorithm>

namespace korvex::app {

namespace {

const char* const kGroup = "MainWindow";
const char* const kGeometryKey = "geometry";
const char* const kMaximizedKey = "maximized";
const char* const kPanesKey = "panes";

}  // namespace

QSize fittedSize(QSize wanted, QSize available) {
    const QSize room = (available - kFrameAllowance).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room).expandedTo(QSize(1, 1));
}

QRect centredGeometry(QSize wanted, const QRect& available) {
    const QSize size = fittedSize(wanted, available.size());
    // The sides and the bottom of a frame are thin, its title bar is not: most of
    // the allowance goes above the window.
    const int titleRoom = kFrameAllowance.height() - kFrameAllowance.width() / 2;
    const int spare = available.height() - size.height();
    const int x = available.left() + (available.width() - size.width()) / 2;
    const int y = available.top() + std::max(spare / 2, std::min(titleRoom, spare));
    return QRect(QPoint(x, y), size);
}

bool fitsAScreen(const QRect& geometry, const QList<QRect>& availableAreas) {
    if (!geometry.isValid()) return false;
    return std::any_of(availableAreas.begin(), availableAreas.end(),
                       [&](const QRect& area) { return area.contains(geometry); });
}

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
    return areas;
}

std::optional<RememberedLayout> readRememberedLayout(QSettings& settings) {
    settings.beginGroup(QLatin1String(kGroup));
    RememberedLayout layout;
    const QVariant geometry = settings.value(QLatin1String(kGeometryKey));
    layout.geometry = geometry.toRect();
    layout.maximized = settings.value(QLatin1String(kMaximizedKey), false).toBool();
    layout.panes = settings.value(QLatin1String(kPanesKey)).toByteArray();
    settings.endGroup();
    if (!layout.geometry.isValid() && layout.panes.isEmpty()) return std::nullopt;
    return layout;
}

void writeRememberedLayout(QSettings& settings, const RememberedLayout& layout) {
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(QLatin1String(kGeometryKey), layout.geometry);
    settings.setValue(QLatin1String(kMaximizedKey), layout.maximized);
    settings.setValue(QLatin1String(kPanesKey), layout.panes);
    settings.endGroup();
}

}  // namespace korvex::app
