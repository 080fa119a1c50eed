#include "app/monitor/report_list.h"

#include <QHeaderView>

#include "app/qt_text.h"

namespace korvex::app {

QTableWidget* makeReportList(QWidget* parent) {
    auto* list = new QTableWidget(0, 0, parent);
    list->setObjectName(QStringLiteral("reportList"));
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setHighlightSections(false);
    return list;
}

void setReportColumns(QTableWidget* list, const std::vector<Text>& titles, Qt::Alignment alignment) {
    list->setColumnCount(static_cast<int>(titles.size()));
    for (std::size_t c = 0; c < titles.size(); ++c) {
        auto* item = new QTableWidgetItem(qtext(titles[c]));
        item->setTextAlignment(alignment | Qt::AlignVCenter);
        list->setHorizontalHeaderItem(static_cast<int>(c), item);
    }
}

void insertReportRow(QTableWidget* list, int row, const std::vector<std::string>& cells, Qt::Alignment alignment) {
    row = std::clamp(row, 0, list->rowCount());
    list->insertRow(row);
    const int columns = std::min(list->columnCount(), static_cast<int>(cells.size()));
    for (int c = 0; c < columns; ++c) {
        auto* item = new QTableWidgetItem(fromUtf8(cells[static_cast<std::size_t>(c)]));
        item->setTextAlignment(alignment | Qt::AlignVCenter);
        list->setItem(row, c, item);
    }
}

QStringList reportRowTexts(const QTableWidget* list, int row) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c) {
        const QTableWidgetItem* item = list->item(row, c);
        out.append(item ? item->text() : QString());
    }
    return out;
}

}  // namespace korvex::app
