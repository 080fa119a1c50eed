#include "monitor/monitor_session.h"

#include <cstdio>

#include "model/texts.h"
#include "monitor/row_texts.h"

namespace korvex::monitor {

namespace {

std::string decimal(std::uint32_t v) { return std::to_string(v); }

// One record line: label, separator, value, line end.
void line(std::string& out, const Text& label, std::string_view separator, std::string_view value,
          std::string_view end = "\n") {
    out += label.text;
    out += separator;
    out += value;
    out += end;
}

}  // namespace

std::vector<MonitorColumn> monitorColumns(MonitorMode mode) {
    std::vector<MonitorColumn> columns;
    if (mode == MonitorMode::Ethernet) columns.push_back({texts::ColumnSerialPortIndex, 80});
    columns.push_back({texts::ColumnStatus, 80});
    columns.push_back({texts::ColumnSlaveAddress, 80});
    columns.push_back({texts::ColumnStartingAddress, 80});
    columns.push_back({texts::ColumnDataOrException, 300});
    return columns;
}

namespace {

std::string serialDataText(const SerialMonitorReport& report) {
    if (report.status == serial_status::Abnormal) return exceptionText(report.exception).str();
    if (report.status == serial_status::Timeout) return texts::NodeNoResponse.str();
    return lowerHexBytes(report.data);
}

}  // namespace

std::vector<std::string> serialRowCells(const SerialMonitorReport& report) {
    return {statusText(report.status).str(), decimal(report.slave), decimal(report.start), serialDataText(report)};
}

std::string serialRecordText(const SerialMonitorReport& report) {
    std::string out;
    line(out, texts::ColumnStatus, "\t\t", statusText(report.status).text);
    line(out, texts::ColumnSlaveAddress, "\t", decimal(report.slave));
    line(out, texts::ColumnStartingAddress, "\t", decimal(report.start));
    const bool timeout = report.status == serial_status::Timeout;
    line(out, texts::ColumnDataOrException, "\t", timeout ? "" : serialDataText(report), "\n\n");
    return out;
}

namespace {

std::string ethernetDataText(const EthernetMonitorReport& report) {
    if (report.status == serial_status::Abnormal) return decimal(report.exception);
    return lowerHexBytes(report.data);
}

}  // namespace

std::vector<std::string> ethernetRowCells(const EthernetMonitorReport& report) {
    const std::string port = decimal(report.portIndex + 1);
    const std::string status = statusText(static_cast<std::uint8_t>(report.status)).str();
    if (report.status == serial_status::Timeout) return {port, status, "", "", ""};
    return {port, status, decimal(report.slave), decimal(report.start), ethernetDataText(report)};
}

std::string ethernetRecordText(const EthernetMonitorReport& report) {
    const bool timeout = report.status == serial_status::Timeout;
    std::string out;
    line(out, texts::ColumnSerialPortIndex, "\t", timeout ? "" : decimal(report.portIndex + 1));
    line(out, texts::ColumnStatus, "\t\t", statusText(static_cast<std::uint8_t>(report.status)).text);
    line(out, texts::ColumnSlaveAddress, "\t", timeout ? "" : decimal(report.slave));
    line(out, texts::ColumnStartingAddress, "\t", timeout ? "" : decimal(report.start));
    line(out, texts::ColumnDataOrException, "\t", timeout ? "" : ethernetDataText(report), "\n\n");
    return out;
}

MonitorUpdate MonitorSession::place(std::vector<std::string> cells, std::string record) {
    MonitorUpdate update;
    if (rowCounter_ > kMaxMonitorRows - 1) {
        update.clearList = true;
        rowCounter_ = 0;
    }
    if (!paused_) {
        update.insertRow = true;
        update.row = rowCounter_++;
        update.cells = std::move(cells);
    }
    if (saving_) update.record = std::move(record);
    return update;
}

MonitorUpdate MonitorSession::show(const SerialMonitorReport& report) {
    if (report.status == serial_status::Hidden) return {};
    return place(serialRowCells(report), serialRecordText(report));
}

MonitorUpdate MonitorSession::show(const EthernetMonitorReport& report) {
    return place(ethernetRowCells(report), ethernetRecordText(report));
}

bool MonitorSession::togglePause() {
    if (!paused_) {
        paused_ = true;
        return false;
    }
    paused_ = false;
    rowCounter_ = 0;
    return true;
}

Text MonitorSession::pauseButtonText() const {
    return paused_ ? texts::MonitorContinueDisplay : texts::MonitorStopDisplaying;
}

Text MonitorSession::saveButtonText() const { return saving_ ? texts::MonitorStopSaving : texts::MonitorSaveContent; }

}  // namespace korvex::monitor
