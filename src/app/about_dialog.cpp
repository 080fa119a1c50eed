#include "app/about_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

QString AboutDialog::defaultLogoPath() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + qtext(texts::AboutLogoFile);
}

AboutDialog::AboutDialog(QWidget* parent, const QString& logoPath) : QDialog(parent) {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(qtext(texts::AboutTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    outer->addLayout(row);

    // The picture area keeps its size whether or not an image was found.
    logo_ = new QLabel(this);
    logo_->setObjectName(QStringLiteral("logo"));
    logo_->setFixedSize(128, 128);
    logo_->setAlignment(Qt::AlignCenter);
    QImageReader reader(logoPath.isEmpty() ? defaultLogoPath() : logoPath);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (!image.isNull())
        logo_->setPixmap(QPixmap::fromImage(image.scaled(logo_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    row->addWidget(logo_, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    row->addLayout(texts);
    auto* name = new QLabel(qtext(korvex::texts::AppTitle), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    texts->addWidget(name);
    texts->addWidget(new QLabel(qtext(korvex::texts::AboutVersion), this));
    const QString site = qtext(korvex::texts::AboutWebSite);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(site.toHtmlEscaped()), this);
    link->setObjectName(QStringLiteral("website"));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    texts->addWidget(link);
    texts->addWidget(new QLabel(qtext(korvex::texts::AboutContact), this));
    texts->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(qtext(korvex::texts::AboutClose), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    outer->addWidget(buttons);
}

}  // namespace korvex::app
