#pragma once
// The Monitor/Modify window without its widgets: which row each report gives,
// where it goes, when the list is emptied, the pause and save switches, and the
// record text written for each report while saving.
#include <cstddef>
#include <string>
#include <vector>

#include "model/texts/text.h"
#include "monitor/monitor_reports.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

// The list never holds more than this many rows: the next report empties it.
inline constexpr int kMaxMonitorRows = 151;

struct MonitorColumn {
    Text title;
    int width = 80;
};

// The list columns of a mode, in order (all centred).
std::vector<MonitorColumn> monitorColumns(MonitorMode mode);

// The cells of a report's row, one per column (empty cells where the window
// leaves them empty), and its record text for the save file ("\n" line ends).
std::vector<std::string> serialRowCells(const SerialMonitorReport& report);
std::string serialRecordText(const SerialMonitorReport& report);
std::vector<std::string> ethernetRowCells(const EthernetMonitorReport& report);
std::string ethernetRecordText(const EthernetMonitorReport& report);

// What the window does with one report.
struct MonitorUpdate {
    bool clearList = false;          // empty the list first
    bool insertRow = false;          // insert `cells` as row `row` and scroll to it
    int row = 0;
    std::vector<std::string> cells;
    std::string record;              // append to the save file (empty: nothing)
};

class MonitorSession {
public:
    explicit MonitorSession(MonitorMode mode) : mode_(mode) {}

    MonitorMode mode() const { return mode_; }

    // A report as it arrives. Status FF (serial) changes nothing.
    MonitorUpdate show(const SerialMonitorReport& report);
    MonitorUpdate show(const EthernetMonitorReport& report);

    // "Stop Displaying" / "Continue to Display". Returns true when the list must
    // be emptied (display continues from row 0).
    bool togglePause();
    bool paused() const { return paused_; }
    Text pauseButtonText() const;

    // Whether reports are recorded; the caller owns the file.
    void setSaving(bool on) { saving_ = on; }
    bool saving() const { return saving_; }
    Text saveButtonText() const;

    // Index of the next row.
    int rowCounter() const { return rowCounter_; }

private:
    MonitorUpdate place(std::vector<std::string> cells, std::string record);

    MonitorMode mode_;
    int rowCounter_ = 0;
    bool paused_ = false;
    bool saving_ = false;
};

}  // namespace korvex::monitor
