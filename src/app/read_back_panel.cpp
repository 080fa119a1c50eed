#include "app/read_back_panel.h"

#include <QCheckBox>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/difference_list.h"
#include "app/qt_text.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

const QString kSettingKey = QStringLiteral("download/readBackAndCompare");

}  // namespace

ReadBackPanel::ReadBackPanel(QWidget* parent) : QWidget(parent) {
    check_ = new QCheckBox(qtext(texts::ReadBackAndCompare), this);
    check_->setObjectName(QStringLiteral("readBackAndCompare"));
    check_->setChecked(QSettings().value(kSettingKey, false).toBool());
    connect(check_, &QCheckBox::toggled, this, [](bool on) { QSettings().setValue(kSettingKey, on); });
    differences_ = new DifferenceList(this, DifferenceList::Against::Gateway);
    differences_->list()->setMinimumHeight(160);
    differences_->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(check_);
    layout->addWidget(differences_, 1);
}

bool ReadBackPanel::wanted() const { return check_->isChecked(); }

void ReadBackPanel::clearResult() {
    differences_->showStatus(QString());
    differences_->setVisible(false);
}

void ReadBackPanel::showResult(const CompareResult& result) {
    differences_->showResult(result);
    // A comparison without differences is one line; the list only when there is one.
    differences_->list()->setVisible(!result.same());
    differences_->setVisible(true);
}

bool ReadBackPanel::resultShown() const { return !differences_->isHidden(); }

}  // namespace korvex::app
