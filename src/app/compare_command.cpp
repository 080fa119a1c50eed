#include "app/compare_command.h"

#include <memory>

#include "app/qt_text.h"
#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex::app {

CompareWindow* runCompareWithFile(QWidget* parent, UiServices& ui, Operator& op, const Project& project,
                                  const PlcAddressing* plc) {
    const QString path = ui.openFileName(parent, qtext(texts::FileDialogFilter));
    if (path.isEmpty()) return nullptr;
    auto other = std::make_unique<Project>();
    if (const auto error = openProject(toPathBytes(path), *other, plc)) {
        op.showMessage(*error, Icon::Warning);
        return nullptr;
    }
    CompareOptions options;
    options.plc = plc;
    auto* window = new CompareWindow(parent, CompareWindow::Against::File);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(qtext(texts::CompareWindowTitle) + QStringLiteral(" - ") + path);
    window->showResult(compareProjects(project, *other, options));
    window->show();
    return window;
}

}  // namespace korvex::app
