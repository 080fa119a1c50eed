#pragma once
// The progress display of a serial transfer and how a transfer ended.
//
// The display has three step lines or, for the four-subnet gateway, four subnet
// lines, each with a place for a tick, and a status line. A transfer reports
// through Operator::stepDone: a step line that completed (its tick shows) or the
// status line that now reads "successful". Which texts the step lines carry
// depends on the gateway's device type; a window lays them out from
// downloadProgressLines / uploadProgressLines and ticks them as reports arrive.
#include <vector>

#include "model/operator.h"

namespace korvex::serial {

// Line numbers used in the StepReports of the transfers.
namespace progress_line {
inline constexpr int Step1 = 0;
inline constexpr int Step2 = 1;
inline constexpr int Step3 = 2;
inline constexpr int FirstSubnet = 3;  // subnet lines 1 to 4 are FirstSubnet + 0 .. 3
inline constexpr int Status = 7;       // not ticked: its text replaces "Please wait..."
constexpr int subnet(int subnetIndex) { return FirstSubnet + subnetIndex; }
}  // namespace progress_line

// The step or subnet lines a transfer with a gateway of this device type shows
// (none for device type 5 and unknown types), each with its line number.
std::vector<StepReport> downloadProgressLines(int deviceType);
std::vector<StepReport> uploadProgressLines(int deviceType);

enum class TransferOutcome {
    Completed,  // the sequence ran to its end
    Stopped,    // a check or the user stopped it before anything was sent
    Canceled,   // the user kept the gateway in communication state ("Download canceled")
    Failed,     // a step failed and its message was shown
};

// Reports the completion of `line` when `lines` has a text for it.
void reportStep(Operator& op, const std::vector<StepReport>& lines, int line);

}  // namespace korvex::serial
