#pragma once
// The text files the monitors write: the Monitor/Modify record, which grows
// report by report while saving, and the debug monitor's saved file, written
// whole. Bytes are written as given (the record uses "\n", the debug file the
// "\r\n" its lines carry).
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/texts/text.h"

namespace korvex::monitor {

class RecordFile {
public:
    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile() { close(); }

    // Creates (or replaces) the file. The program's file message on failure.
    std::optional<Message> open(const std::string& path);
    // Appends and flushes, so the record is on disk report by report. False
    // when the write failed (the file is closed then).
    bool append(std::string_view text);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

// Writes the debug monitor's saved file whole (replacing the file safely).
std::optional<Message> writeSavedFile(const std::string& path, std::string_view text);

}  // namespace korvex::monitor
