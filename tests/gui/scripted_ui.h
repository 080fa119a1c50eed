#pragma once
// UiServices answered from a script: message boxes take the next scripted
// button text (or their default button), file dialogs the next scripted path
// (or cancel). Everything asked is recorded for the test to check.
#include <QQueue>
#include <QStringList>

#include "app/ui_services.h"

namespace korvex::app {

class ScriptedUi : public UiServices {
public:
    QQueue<QString> buttons;    // button text to press, e.g. "No (&N)"
    QQueue<QString> openPaths;  // empty entry or none left: the dialog is cancelled
    QQueue<QString> savePaths;
    bool online = false;
    bool openUrlResult = true;
    bool launcher = true;       // the desktop has a program that opens files

    QList<BoxRequest> boxes;    // every message box shown
    QStringList openedUrls;
    int openDialogs = 0;
    int saveDialogs = 0;

    int messageBox(QWidget*, const BoxRequest& request) override {
        boxes.append(request);
        if (!buttons.isEmpty()) {
            const QString wanted = buttons.dequeue();
            const int index = static_cast<int>(request.buttons.indexOf(wanted));
            if (index >= 0) return index;
        }
        return request.defaultButton;
    }
    QString openFileName(QWidget*, const QString&) override {
        ++openDialogs;
        return openPaths.isEmpty() ? QString() : openPaths.dequeue();
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override {
        ++saveDialogs;
        return savePaths.isEmpty() ? QString() : savePaths.dequeue();
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url.toString());
        return openUrlResult;
    }
    bool hasLauncher() override { return launcher; }
    bool isOnline() override { return online; }

    QStringList boxTexts() const {
        QStringList out;
        for (const BoxRequest& b : boxes) out.append(b.text);
        return out;
    }
};

}  // namespace korvex::app
