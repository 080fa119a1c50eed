#pragma once
// Everything the window asks of the desktop that a test must be able to answer
// without a person: message boxes, file dialogs, opening a web page and whether
// the computer is on line. The window takes a UiServices; the program passes
// WidgetUiServices, the GUI tests a scripted stand-in.
#include <QString>
#include <QStringList>
#include <QUrl>

class QFontMetrics;
class QWidget;

namespace korvex::app {

enum class BoxIcon { None, Information, Warning, Critical, Question };

struct BoxRequest {
    QString title;
    QString text;
    BoxIcon icon = BoxIcon::Warning;
    QStringList buttons;      // button texts, left to right
    int defaultButton = 0;    // index into buttons
    int escapeButton = -1;    // index answered by Escape / the close box; -1: the last button
};

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows a modal message box; returns the index of the button pressed.
    virtual int messageBox(QWidget* parent, const BoxRequest& request) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // Save dialog with the overwrite prompt; `suggested` is the preselected path.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& suggested) = 0;
    // Save dialog for a file of another kind than a project: a typed name
    // without an extension gets `.defaultSuffix` before the overwrite prompt
    // sees it. By default the project save dialog answers.
    virtual QString saveFileNameWithSuffix(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
        (void)defaultSuffix;
        return saveFileName(parent, filter, QString());
    }
    // A message box that does not wait for its OK: the caller goes on at once
    // (a monitor keeps showing reports). By default shown like messageBox.
    virtual void showNotice(QWidget* parent, const BoxRequest& request) { messageBox(parent, request); }
    virtual bool openUrl(const QUrl& url) = 0;
    // Whether the desktop has a program that opens files and web pages
    // (openUrl then has something to start).
    virtual bool hasLauncher() = 0;
    // Whether the computer has a working network connection (no traffic is sent).
    virtual bool isOnline() = 0;
};

// The real thing: QMessageBox, QFileDialog, QDesktopServices and the local
// network interface list. Message boxes are at least as wide as their title
// needs, and their text can be selected and copied.
class WidgetUiServices : public UiServices {
public:
    int messageBox(QWidget* parent, const BoxRequest& request) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& suggested) override;
    QString saveFileNameWithSuffix(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
    void showNotice(QWidget* parent, const BoxRequest& request) override;
    bool openUrl(const QUrl& url) override;
    bool hasLauncher() override;
    bool isOnline() override;
};

// The least width of a message box whose title bar shows `title` whole: the
// title's width in the box's font and room for the window buttons.
int messageBoxMinimumWidth(const QString& title, const QFontMetrics& metrics);

// A file name as the save dialog returns it, with ".kvx" appended when the
// typed name has no extension.
QString withProjectExtension(const QString& path);
// The same with another extension (`suffix` without its dot).
QString withDefaultSuffix(const QString& path, const QString& suffix);

}  // namespace korvex::app
