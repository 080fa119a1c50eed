#pragma once
// The checks of the gateway's answers. Answers are outside input: each check
// reads only bytes that were received, and a check that stores data stores it
// only after the whole answer passed and only inside the store's tables.
//
// With new firmware an answer's data bytes arrive scrambled. Its checksum is the
// one of the bytes on the wire, so checksums are checked on the answer as
// received; the data are unscrambled (in place) before they are read.
#include <array>
#include <cstdint>
#include <span>

#include "serial/upload_store.h"

namespace korvex::serial {

struct ValidatedAnswer {
    // The answer's command code; 0 when the answer is not well-formed. A
    // well-formed error answer (bit 7 set) is still a failed exchange.
    std::uint8_t command = 0;
    std::array<std::uint8_t, 8> deviceData{};  // d0 to d7 of a device-type answer
    std::array<std::uint8_t, 2> errorCode{};   // the data of an error answer
};

// Answers of the download and of its identification: the device type,
// acknowledgements of written frames (03, 10, 14, 21, 30) and the error answers
// 81, 83, 90, A1 and B0. `scrambled`: the firmware scrambles (the device-type
// answer never is).
ValidatedAnswer validateDownloadAnswer(std::span<std::uint8_t> answer, bool scrambled);

struct UploadAnswerContext {
    bool scrambled = false;         // the firmware scrambles (not the device-type answer)
    bool longSubnetForm = false;    // subnet parameters come in the 26-byte form
    bool longProfibusForm = false;  // PROFIBUS parameters: the 3-byte form, no checksum test
    bool legacyFlag244 = false;     // device type 5 is accepted
    int subnet = -1;                // the subnet asked for (04, 15, 16); -1: any
};

// Answers of the upload: device type (01), subnet parameters (04), command
// count (15), command batch (16), DeviceNet (22) and PROFIBUS (31) parameters,
// and the error answers 81 and 95. Accepted data go into the store.
ValidatedAnswer validateUploadAnswer(std::span<std::uint8_t> answer, const UploadAnswerContext& context,
                                     UploadStore& store);

}  // namespace korvex::serial
