#include "app/prompt_pane.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTextBrowser>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

PromptPane::PromptPane(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("promptTabs"));
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);

    info_ = new QPlainTextEdit(this);
    info_->setObjectName(QStringLiteral("promptText"));
    info_->setReadOnly(true);
    info_->setLineWrapMode(QPlainTextEdit::NoWrap);
    info_->setFont(QFont(QStringLiteral("Times New Roman"), 12));
    info_->document()->setDocumentMargin(6);
    addTab(info_, qtext(texts::TabInfo));

    news_ = new QTextBrowser(this);
    news_->setObjectName(QStringLiteral("newsPage"));
    news_->setOpenExternalLinks(true);
    QFile page(QStringLiteral(":/news.html"));
    if (page.open(QIODevice::ReadOnly)) news_->setHtml(QString::fromUtf8(page.readAll()));
    addTab(news_, qtext(texts::TabNews));
}

void PromptPane::setHelpText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (info_->toPlainText() != shown) info_->setPlainText(shown);
}

QString PromptPane::helpText() const { return info_->toPlainText(); }

void PromptPane::showInfo() { setCurrentWidget(info_); }

}  // namespace korvex::app
