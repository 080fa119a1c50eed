#include "monitor/debug_session.h"

#include <cstdio>

#include "model/texts.h"
#include "monitor/row_texts.h"

namespace korvex::monitor {

namespace {

// The header of the master layout's saved file, its blanks as the columns line up.
const std::string& masterHeader() {
    static const std::string header = texts::ColumnIndex.str() + std::string(5, ' ') + texts::ColumnStatus.str() +
                                      std::string(7, ' ') + texts::ColumnSlaveAddress.str() + std::string(8, ' ') +
                                      texts::ColumnFunctionCode.str() + std::string(3, ' ') +
                                      texts::ColumnStartingAddress.str() + std::string(7, ' ') +
                                      texts::ColumnDataOrException.str() + "\r\n";
    return header;
}

std::size_t dataColumn(DebugLayout layout) { return layout == DebugLayout::Master ? 5 : 2; }

void appendHexUpper(std::string& out, std::uint8_t b) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += digits[b >> 4];
    out += digits[b & 15];
}

}  // namespace

std::vector<DebugColumn> debugColumns(DebugLayout layout) {
    if (layout == DebugLayout::Master)
        return {{texts::ColumnIndex, 2},         {texts::ColumnStatus, 2},           {texts::ColumnSlaveAddress, 2},
                {texts::ColumnFunctionCode, 2},  {texts::ColumnStartingAddress, 2}, {texts::ColumnDataOrException, 2}};
    return {{texts::ColumnIndex, 1.5}, {texts::ColumnStatus, 3}, {texts::ColumnData, 7.5}};
}

std::string debugDataText(const DebugReport& report) {
    std::string out;
    out.reserve(report.data.size() * 3);
    for (std::uint8_t b : report.data) {
        if (report.layout == DebugLayout::Master) out += ' ';
        appendHexUpper(out, b);
        if (report.layout != DebugLayout::Master) out += ' ';
    }
    return out;
}

bool debugReportGetsReply(const DebugReport& report, bool displaying) {
    return !(displaying && report.layout == DebugLayout::Slave && !report.hasSlaveMarker());
}

DebugUpdate DebugSession::show(const DebugReport& report) {
    DebugUpdate update;
    if (!displaying_) return update;
    if (layout_ == DebugLayout::Slave && !report.hasSlaveMarker()) return update;
    ++reportIndex_;
    if (report.statusOrDirection == debug_code::Hidden) return update;
    std::vector<std::string> cells{std::to_string(reportIndex_)};
    const std::uint8_t code = report.statusOrDirection;
    switch (layout_) {
        case DebugLayout::Master:
            cells.push_back(statusText(code).str());
            cells.push_back(std::to_string(report.slave));
            cells.push_back(std::to_string(report.function));
            cells.push_back(std::to_string(report.start));
            break;
        case DebugLayout::Slave: cells.push_back(slaveDirectionText(code).str()); break;
        case DebugLayout::UserConfig: cells.push_back(userConfigDirectionText(code).str()); break;
    }
    cells.push_back(debugDataText(report));
    readDataText_ = cells.back();
    rows_.push_front(cells);
    update.insertRow = true;
    update.cells = std::move(cells);
    update.readDataChanged = true;
    return update;
}

Text DebugSession::displayButtonText() const {
    return displaying_ ? texts::MonitorStopDisplaying : texts::MonitorContinueDisplay;
}

void DebugSession::clear() {
    reportIndex_ = 0;
    rows_.clear();
    readDataText_.clear();
}

bool DebugSession::clickRow(std::size_t row) {
    if (row >= rows_.size()) return false;
    readDataText_ = rows_[row][dataColumn(layout_)];
    return true;
}

Text DebugSession::saveButtonText() const { return saving_ ? texts::MonitorStopSaving : texts::MonitorSaveContent; }

std::string DebugSession::savedFileText() const {
    std::string out;
    if (layout_ == DebugLayout::Master) out += masterHeader();
    for (const auto& c : rows_) {
        if (layout_ == DebugLayout::Master)
            out += c[0] + "\t" + c[1] + "\t" + c[2] + "\t\t" + c[3] + "\t" + c[4] + "\t\t" + c[5] + "\r\n";
        else
            out += c[0] + "\t" + c[1] + "\t" + c[2] + "\r\n";
    }
    return out;
}

}  // namespace korvex::monitor
