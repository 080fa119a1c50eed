#pragma once
// The recent-file list of the File menu: four entries, newest first, kept in the
// user's settings (QSettings) between runs.
#include <QString>
#include <QStringList>

namespace korvex::app {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    // Reads the list from the user's settings; persistent false keeps the list in
    // memory only (tests).
    explicit RecentFiles(bool persistent = true);

    const QStringList& entries() const { return entries_; }
    // Moves path to the front (adding it when new) and saves.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void save() const;

    bool persistent_;
    QStringList entries_;
};

// The menu text of entry i (0-based): "&1 path".
QString recentEntryText(int index, const QString& path);

}  // namespace korvex::app
