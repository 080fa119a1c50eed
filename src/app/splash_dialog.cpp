#include "app/splash_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QIcon>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

SplashDialog::SplashDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(qtext(texts::AppShortName));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 20);
    layout->setSpacing(10);

    auto* logo = new QLabel(this);
    logo->setPixmap(QIcon(QStringLiteral(":/icons/korvex.svg")).pixmap(96, 96));
    logo->setFixedSize(96, 96);
    layout->addWidget(logo, 0, Qt::AlignHCenter);

    auto* name = new QLabel(qtext(texts::AppTitle), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* version = new QLabel(qtext(texts::AboutVersion), this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);

    auto* tagline = new QLabel(qtext(texts::SplashTagline), this);
    tagline->setAlignment(Qt::AlignCenter);
    tagline->setStyleSheet(QStringLiteral("color: #555;"));
    layout->addWidget(tagline);
    layout->addSpacing(8);

    button_ = new QPushButton(this);
    button_->setObjectName(QStringLiteral("countdown"));
    button_->setMinimumWidth(120);
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    connect(button_, &QPushButton::clicked, this, &QDialog::accept);

    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &SplashDialog::tick);
    timer_->start();
    updateButton();
}

void SplashDialog::tick() {
    if (remaining_ > 0) --remaining_;
    updateButton();
    if (remaining_ == 0) {
        timer_->stop();
        accept();
    }
}

void SplashDialog::updateButton() {
    button_->setText(qtext(Message{texts::SplashButton, {std::to_string(remaining_)}}));
}

}  // namespace korvex::app
