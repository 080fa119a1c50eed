#include "app/select_command_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "editor/editor_session.h"
#include "model/texts.h"

namespace korvex::app {

SelectCommandDialog::SelectCommandDialog(QWidget* parent, std::function<void(int)> onChosen)
    : QDialog(parent), onChosen_(std::move(onChosen)) {
    setObjectName(QStringLiteral("selectCommand"));
    setWindowTitle(qtext(texts::DlgSelectCommandTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    for (const SelectCommandEntry& entry : selectCommandEntries()) list_->addItem(fromUtf8(entry.text));
    list_->setCurrentRow(0);
    layout->addWidget(list_);
    const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : 18;
    list_->setMinimumSize(260, rowHeight * (list_->count() + 1));
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(list_->row(item)); });
}

void SelectCommandDialog::choose(int position) {
    if (position < 0 || position >= list_->count()) return;
    if (onChosen_) onChosen_(position);
}

}  // namespace korvex::app
