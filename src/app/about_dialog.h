#pragma once
// "About Software Korvex": program name, version, web site, contact line, a
// "Close" button and the logo image found beside the executable (its area stays
// empty when the file is missing or unreadable).
#include <QDialog>

class QLabel;

namespace korvex::app {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // logoPath: the image file to show; empty uses the one beside the executable.
    explicit AboutDialog(QWidget* parent = nullptr, const QString& logoPath = QString());

    QLabel* logoLabel() const { return logo_; }
    static QString defaultLogoPath();

private:
    QLabel* logo_ = nullptr;
};

}  // namespace korvex::app
