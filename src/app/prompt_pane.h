#pragma once
// The "Prompt information" pane: an "Info" tab with the read-only help text of
// the clicked grid row and a "News" tab with a short page about this version
// (read from the program's resources; nothing is fetched from the network).
#include <QTabWidget>

class QPlainTextEdit;
class QTextBrowser;

namespace korvex::app {

class PromptPane : public QTabWidget {
    Q_OBJECT
public:
    explicit PromptPane(QWidget* parent = nullptr);

    void setHelpText(const QString& text);
    QString helpText() const;
    // Brings the "Info" page to the front.
    void showInfo();
    QPlainTextEdit* infoBox() const { return info_; }
    QTextBrowser* newsPage() const { return news_; }

private:
    QPlainTextEdit* info_ = nullptr;
    QTextBrowser* news_ = nullptr;
};

}  // namespace korvex::app
