#pragma once
// The report list both monitor windows show: a read-only table with grid
// lines and whole-row selection, its columns, and rows of core texts.
#include <QTableWidget>
#include <string>
#include <vector>

#include "model/texts/text.h"

namespace korvex::app {

// An empty list with the look of both windows.
QTableWidget* makeReportList(QWidget* parent);
// Replaces the columns with these titles, each aligned as given.
void setReportColumns(QTableWidget* list, const std::vector<Text>& titles, Qt::Alignment alignment);
// Inserts a row of UTF-8 cells at `row` (cells past the columns are left out).
void insertReportRow(QTableWidget* list, int row, const std::vector<std::string>& cells, Qt::Alignment alignment);
// The texts of a row, for tests.
QStringList reportRowTexts(const QTableWidget* list, int row);

}  // namespace korvex::app
