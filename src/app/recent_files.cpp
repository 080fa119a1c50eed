#include "app/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace korvex::app {

namespace {

const char* const kGroup = "Recent File List";

QString normalised(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

RecentFiles::RecentFiles(bool persistent) : persistent_(persistent) {
    if (!persistent_) return;
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !entries_.contains(path)) entries_.append(path);
    }
}

void RecentFiles::add(const QString& path) {
    const QString p = normalised(path);
    entries_.removeAll(p);
    entries_.prepend(p);
    while (entries_.size() > kMaxEntries) entries_.removeLast();
    save();
}

void RecentFiles::remove(const QString& path) {
    if (entries_.removeAll(path) > 0 || entries_.removeAll(normalised(path)) > 0) save();
}

void RecentFiles::save() const {
    if (!persistent_) return;
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= entries_.size()) settings.setValue(key, entries_.at(i - 1));
        else settings.remove(key);
    }
}

QString recentEntryText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace korvex::app
