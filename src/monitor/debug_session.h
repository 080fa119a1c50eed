#pragma once
// The debug monitor window without its widgets: the columns of its layout, the
// row each report gives (newest on top), the report index, the display switch,
// the read-data box, and the saved file.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "model/texts/text.h"
#include "monitor/monitor_reports.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

struct DebugColumn {
    Text title;
    // Width in twelfths of the list width (master: 2 each; others 1.5, 3, 7.5 as 3/2, 3, 15/2).
    double twelfths = 2;
};

std::vector<DebugColumn> debugColumns(DebugLayout layout);

// The data text of a report: master " 12 34" (a blank before each byte), the
// other layouts "12 34 " (a blank after each byte); upper-case digits.
std::string debugDataText(const DebugReport& report);

// Whether the pump answers a report: a slave-layout report without its marker
// gets no reply while the reports are displayed.
bool debugReportGetsReply(const DebugReport& report, bool displaying);

struct DebugUpdate {
    bool insertRow = false;  // insert `cells` at the top of the list
    std::vector<std::string> cells;
    bool readDataChanged = false;  // readDataText() changed
};

class DebugSession {
public:
    explicit DebugSession(DebugLayout layout) : layout_(layout) {}

    DebugLayout layout() const { return layout_; }

    // A report as it arrives. While not displaying nothing changes; otherwise
    // the index is raised and, unless hidden (FF), a row goes on top.
    DebugUpdate show(const DebugReport& report);

    // "Stop Displaying" / "Continue to Display".
    void toggleDisplay() { displaying_ = !displaying_; }
    bool displaying() const { return displaying_; }
    Text displayButtonText() const;

    // "Clear data": index 0, no rows, empty read-data box.
    void clear();

    // Clicking a row (0 = top) copies its data column into the read-data box.
    // False when there is no such row.
    bool clickRow(std::size_t row);

    int reportIndex() const { return reportIndex_; }
    const std::string& readDataText() const { return readDataText_; }
    // The rows, newest first, each with one cell per column.
    const std::deque<std::vector<std::string>>& rows() const { return rows_; }

    // "Save Content" / "Stop Saving": whether a path was chosen and waits for
    // the file to be written; the caller owns the path.
    void setSaving(bool on) { saving_ = on; }
    bool saving() const { return saving_; }
    Text saveButtonText() const;

    // The saved file: every row top to bottom; the master layout with its
    // header. Lines end in "\r\n".
    std::string savedFileText() const;

private:
    DebugLayout layout_;
    int reportIndex_ = 0;
    bool displaying_ = true;
    bool saving_ = false;
    std::string readDataText_;
    std::deque<std::vector<std::string>> rows_;
};

}  // namespace korvex::monitor
