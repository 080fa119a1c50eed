#include "serial/serial_settings.h"

#include "model/texts/port_texts.h"

namespace korvex::serial {

namespace {

template <std::size_t N>
int entryOrFirst(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? index : 0;
}

}  // namespace

int defaultBaudIndex(std::int32_t deviceKind) { return deviceKind == 2 ? kBaud115200Index : kBaud19200Index; }

void applyFirstDialogBaudDefault(SerialSettings& settings, std::int32_t deviceKind) {
    if (!settings.baudDefaultPending) return;
    if (deviceKind == 0 || deviceKind == 1 || deviceKind == 3) settings.baudIndex = kBaud19200Index;
    if (deviceKind == 2) settings.baudIndex = kBaud115200Index;
    settings.baudDefaultPending = false;
}

void resetLineSettingsForTransfer(SerialSettings& settings) {
    settings.baudIndex = kBaud19200Index;
    settings.parityIndex = 0;
    settings.dataBitsIndex = 0;
    settings.stopBitsIndex = 0;
}

LineSettings lineSettingsOf(const SerialSettings& settings) {
    LineSettings line;
    line.baudRate = kBaudRates[static_cast<std::size_t>(entryOrFirst<kBaudRates.size()>(settings.baudIndex))];
    line.parity = static_cast<Parity>(entryOrFirst<kParityCount>(settings.parityIndex));
    line.dataBits = kDataBits[static_cast<std::size_t>(entryOrFirst<kDataBits.size()>(settings.dataBitsIndex))];
    line.stopBits = settings.stopBitsIndex == 0 ? 1 : 2;
    return line;
}

std::array<Text, 8> baudRateEntries() {
    return {texts::Baud300,  texts::Baud600,  texts::Baud1200,  texts::Baud2400,
            texts::Baud4800, texts::Baud9600, texts::Baud19200, texts::Baud115200};
}

std::array<Text, 5> parityEntries() {
    return {texts::ParityNone, texts::ParityOdd, texts::ParityEven, texts::ParityMark, texts::ParitySpace};
}

std::array<Text, 4> dataBitsEntries() {
    return {texts::DataBits8, texts::DataBits7, texts::DataBits6, texts::DataBits5};
}

std::array<Text, 2> stopBitsEntries() { return {texts::StopBits1, texts::StopBits2}; }

}  // namespace korvex::serial
