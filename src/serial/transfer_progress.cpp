#include "serial/transfer_progress.h"

#include <string>

#include "model/texts.h"

namespace korvex::serial {

namespace {

std::vector<StepReport> threeLines(const Text& first, const Text& second, const Text& third) {
    return {{progress_line::Step1, {first, {}}},
            {progress_line::Step2, {second, {}}},
            {progress_line::Step3, {third, {}}}};
}

std::vector<StepReport> subnetLines(const Text& text) {
    std::vector<StepReport> lines;
    for (int k = 0; k < 4; ++k) lines.push_back({progress_line::subnet(k), {text, {std::to_string(k + 1)}}});
    return lines;
}

}  // namespace

std::vector<StepReport> downloadProgressLines(int deviceType) {
    switch (deviceType) {
        case 1:
            return threeLines(texts::DownloadStepDeviceNet, texts::DownloadStepModbusParameter,
                              texts::DownloadStepModbusCommand);
        case 2: case 6: case 7:
            return threeLines(texts::DownloadStepProfibus, texts::DownloadStepModbusParameter,
                              texts::DownloadStepModbusCommand);
        case 3:
            return subnetLines(texts::DownloadStepSubnetLine);
        case 4:
            return threeLines(texts::DownloadStepProfibus, texts::DownloadStepSubnetParameter,
                              texts::DownloadStepSubnetCommand);
        default:
            return {};
    }
}

std::vector<StepReport> uploadProgressLines(int deviceType) {
    switch (deviceType) {
        case 1:
            return threeLines(texts::UploadStepDeviceNet, texts::UploadStepModbusParameter,
                              texts::UploadStepModbusCommand);
        case 2: case 6: case 7:
            return threeLines(texts::UploadStepProfibus, texts::UploadStepModbusParameter,
                              texts::UploadStepModbusCommand);
        case 3:
            return subnetLines(texts::UploadStepSubnetLine);
        case 4:
            return threeLines(texts::UploadStepProfibus, texts::UploadStepSubnetParameter,
                              texts::UploadStepSubnetCommand);
        default:
            return {};
    }
}

void reportStep(Operator& op, const std::vector<StepReport>& lines, int line) {
    for (const auto& l : lines) {
        if (l.line == line) {
            op.stepDone(l);
            return;
        }
    }
}

}  // namespace korvex::serial
