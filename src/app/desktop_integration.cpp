#include "app/desktop_integration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

QString dataHome() {
    const QByteArray env = qgetenv("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(QString::fromLocal8Bit(env))) return QString::fromLocal8Bit(env);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

// Desktop entries quote arguments that hold blanks or reserved characters.
QString quotedExec(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : path) needs = needs || reserved.contains(c);
    if (!needs) return path;
    QString q = path;
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    q.replace(QLatin1Char('"'), QLatin1String("\\\""));
    q.replace(QLatin1Char('`'), QLatin1String("\\`"));
    q.replace(QLatin1Char('$'), QLatin1String("\\$"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool writeIfDifferent(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.read(content.size() + 1) == content) return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(content);
    return out.commit();
}

// Starts a cache tool in the background with its output discarded; a missing
// tool is skipped.
void runDetached(const QString& tool, const QString& folder) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) return;
    QProcess process;
    process.setProgram(exe);
    process.setArguments({folder});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

}  // namespace

DesktopFiles userDesktopFiles() {
    const QString base = dataHome();
    return {base + QStringLiteral("/applications/korvex.desktop"),
            base + QStringLiteral("/mime/packages/korvex-kvx.xml")};
}

QString desktopEntryText(const QString& exePath) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Korvex\n"
               "GenericName=%1\n"
               "Comment=%2\n"
               "Exec=%3 %f\n"
               "Icon=korvex\n"
               "Terminal=false\n"
               "Categories=Development;Engineering;\n"
               "MimeType=application/x-korvex-project;\n")
        .arg(qtext(texts::AppTitle), qtext(texts::SplashTagline), quotedExec(exePath));
}

QString mimePackageText() {
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-korvex-project\">\n"
        "    <comment>KVX Document</comment>\n"
        "    <glob pattern=\"*.kvx\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

bool registerFileAssociation(const QString& exePath, bool updateCaches) {
    const DesktopFiles files = userDesktopFiles();
    const bool desktopWritten = writeIfDifferent(files.desktopEntry, desktopEntryText(exePath).toUtf8());
    const bool mimeWritten = writeIfDifferent(files.mimePackage, mimePackageText().toUtf8());
    if (updateCaches) {
        if (mimeWritten)
            runDetached(QStringLiteral("update-mime-database"),
                        QDir::cleanPath(QFileInfo(files.mimePackage).absolutePath() + QStringLiteral("/..")));
        if (desktopWritten)
            runDetached(QStringLiteral("update-desktop-database"), QFileInfo(files.desktopEntry).absolutePath());
    }
    return desktopWritten || mimeWritten;
}

}  // namespace korvex::app
