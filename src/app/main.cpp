// Korvex desktop application.
#include <QApplication>
#include <cstdio>

#include "app/startup.h"
#include "app/ui_services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.5.1"));

    const korvex::app::StartupOptions options = korvex::app::parseStartupOptions(QCoreApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "korvex: %s\n", options.error.toLocal8Bit().constData());
        return 2;
    }
    if (options.helpShown) return 0;
    korvex::app::WidgetUiServices ui;
    return korvex::app::runKorvex(options, ui);
}
