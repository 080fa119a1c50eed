#include "app/ui_services.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>

#include "model/texts.h"

namespace korvex::app {

namespace {

QMessageBox::Icon toQtIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None: return QMessageBox::NoIcon;
        case BoxIcon::Information: return QMessageBox::Information;
        case BoxIcon::Warning: return QMessageBox::Warning;
        case BoxIcon::Critical: return QMessageBox::Critical;
        case BoxIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

int WidgetUiServices::messageBox(QWidget* parent, const BoxRequest& request) {
    QMessageBox box(toQtIcon(request.icon), request.title, request.text, QMessageBox::NoButton, parent);
    QList<QPushButton*> buttons;
    for (const QString& text : request.buttons) buttons.append(box.addButton(text, QMessageBox::ActionRole));
    if (buttons.isEmpty()) buttons.append(box.addButton(QMessageBox::Ok));
    const int def = std::clamp(request.defaultButton, 0, static_cast<int>(buttons.size()) - 1);
    const int esc = request.escapeButton >= 0 && request.escapeButton < buttons.size()
                        ? request.escapeButton
                        : static_cast<int>(buttons.size()) - 1;
    box.setDefaultButton(buttons[def]);
    box.setEscapeButton(buttons[esc]);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A box sizes itself to its text and buttons; a short text would leave the
    // title cut short by the window manager. A spanning spacer widens it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = messageBoxMinimumWidth(request.title, box.fontMetrics());
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
    const int pressed = static_cast<int>(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return pressed >= 0 ? pressed : esc;
}

QString WidgetUiServices::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString WidgetUiServices::saveFileName(QWidget* parent, const QString& filter, const QString& suggested) {
    QFileDialog dialog(parent, QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("kvx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return withProjectExtension(dialog.selectedFiles().constFirst());
}

QString WidgetUiServices::saveFileNameWithSuffix(QWidget* parent, const QString& filter,
                                                 const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return withDefaultSuffix(dialog.selectedFiles().constFirst(), defaultSuffix);
}

void WidgetUiServices::showNotice(QWidget* parent, const BoxRequest& request) {
    auto* box = new QMessageBox(toQtIcon(request.icon), request.title, request.text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->show();
}

bool WidgetUiServices::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool WidgetUiServices::hasLauncher() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt opens files and pages on these desktops through xdg-open.
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
#else
    return true;
#endif
}

int messageBoxMinimumWidth(const QString& title, const QFontMetrics& metrics) {
    // The title bar's font is the window manager's and often larger; the
    // buttons and the icon of a title bar take about eight average characters.
    return metrics.horizontalAdvance(title) * 5 / 4 + metrics.averageCharWidth() * 8 + 60;
}

bool WidgetUiServices::isOnline() {
    // A local question only: an interface that is up, not the loopback, and has
    // an address that is not link-local.
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& itf : interfaces) {
        const auto flags = itf.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : itf.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (!ip.isLoopback() && !ip.isLinkLocal() && !ip.isNull()) return true;
        }
    }
    return false;
}

QString withDefaultSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || suffix.isEmpty()) return path;
    const QFileInfo info(path);
    if (info.suffix().isEmpty() && !info.fileName().endsWith(QLatin1Char('.'))) return path + QLatin1Char('.') + suffix;
    return path;
}

QString withProjectExtension(const QString& path) {
    if (path.isEmpty()) return path;
    const QFileInfo info(path);
    if (info.suffix().isEmpty() && !info.fileName().endsWith(QLatin1Char('.')))
        return path + QString::fromUtf8(texts::ProjectExtension.text.data(),
                                        static_cast<qsizetype>(texts::ProjectExtension.text.size()));
    return path;
}

}  // namespace korvex::app
