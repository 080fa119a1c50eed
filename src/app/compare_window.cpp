#include "app/compare_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

CompareWindow::CompareWindow(QWidget* parent, Against against) : QDialog(parent) {
    setWindowTitle(qtext(texts::CompareWindowTitle));
    differences_ = new DifferenceList(this, against);
    connect(differences_, &DifferenceList::differenceActivated, this, &CompareWindow::differenceActivated);

    copy_ = new QPushButton(qtext(texts::CompareCopy), this);
    auto* close = new QPushButton(qtext(texts::CompareClose), this);
    connect(copy_, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(copyText()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(differences_);
    layout->addLayout(buttons);
    resize(760, 420);
    showStatus(QString());
}

void CompareWindow::showStatus(const QString& text) {
    differences_->showStatus(text);
    copy_->setEnabled(false);
}

void CompareWindow::showResult(const CompareResult& result) {
    differences_->showResult(result);
    copy_->setEnabled(!result.differences.empty());
}

}  // namespace korvex::app
