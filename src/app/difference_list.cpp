#include "app/difference_list.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "compare/difference_text.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

QString utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

DifferenceList::DifferenceList(QWidget* parent, Against against) : QWidget(parent), against_(against) {
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({qtext(texts::CompareColumnItem), qtext(texts::CompareColumnParameter),
                            qtext(texts::CompareColumnProject),
                            qtext(against == Against::File ? texts::CompareColumnFile : texts::CompareColumnGateway)});
    list_->header()->setStretchLastSection(true);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) { activate(item); });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) { activate(item); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(summary_);
    layout->addWidget(list_);
    showStatus(QString());
}

void DifferenceList::showStatus(const QString& text) {
    result_ = CompareResult{};
    list_->clear();
    summary_->setText(text);
}

void DifferenceList::showResult(const CompareResult& result) {
    result_ = result;
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (size_t i = 0; i < result.differences.size(); ++i) {
        const DifferenceColumns c = differenceColumns(result.differences[i]);
        auto* item = new QTreeWidgetItem({utf8(c.item), utf8(c.parameter), utf8(c.valueA), utf8(c.valueB)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        items.append(item);
    }
    list_->addTopLevelItems(items);
    for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
    if (result.same()) {
        summary_->setText(qtext(against_ == Against::File ? texts::CompareFileSame : texts::CompareGatewaySame));
    } else {
        summary_->setText(
            qtext(Message{texts::CompareDifferenceCount, {std::to_string(result.differences.size())}}));
    }
}

QString DifferenceList::copyText() const {
    QStringList headings;
    for (int c = 0; c < list_->columnCount(); ++c) headings.append(list_->headerItem()->text(c));
    QString text = headings.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const Difference& d : result_.differences) text += utf8(differenceLine(d)) + QLatin1Char('\n');
    return text;
}

void DifferenceList::activate(QTreeWidgetItem* item) {
    if (!item) return;
    const auto index = item->data(0, Qt::UserRole).toULongLong();
    if (index >= result_.differences.size()) return;
    const Difference& d = result_.differences[index];
    if (d.itemA.empty()) return;
    emit differenceActivated(d.itemA, d.rowA);
}

}  // namespace korvex::app
