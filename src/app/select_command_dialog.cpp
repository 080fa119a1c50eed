#include "app/select_command_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
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
    hint_ = new QLabel(qtext(texts::DlgSelectCommandHint), this);
    hint_->setObjectName(QStringLiteral("hint"));
    layout->addWidget(hint_);
    list_ = new QListWidget(this);
    for (const SelectCommandEntry& entry : selectCommandEntries()) list_->addItem(fromUtf8(entry.text));
    list_->setCurrentRow(0);
    layout->addWidget(list_);
    const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : 18;
    list_->setMinimumSize(260, rowHeight * (list_->count() + 1));
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(list_->row(item)); });

    // "Add" is the default button: Enter in the list presses it.
    auto* buttons = new QDialogButtonBox(this);
    add_ = buttons->addButton(qtext(texts::DlgSelectCommandAdd), QDialogButtonBox::ActionRole);
    add_->setObjectName(QStringLiteral("add"));
    add_->setDefault(true);
    close_ = buttons->addButton(qtext(texts::DlgSelectCommandClose), QDialogButtonBox::RejectRole);
    close_->setObjectName(QStringLiteral("close"));
    connect(add_, &QPushButton::clicked, this, [this] { choose(list_->currentRow()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    list_->setFocus();
}

void SelectCommandDialog::choose(int position) {
    if (position < 0 || position >= list_->count()) return;
    if (onChosen_) onChosen_(position);
}

}  // namespace korvex::app
