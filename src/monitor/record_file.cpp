#include "monitor/record_file.h"

#include <cerrno>
#include <vector>

#include "model/file_io.h"

namespace korvex::monitor {

std::optional<Message> RecordFile::open(const std::string& path) {
    close();
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return fileErrorMessage(errno, path, FileAction::Save);
    path_ = path;
    return std::nullopt;
}

bool RecordFile::append(std::string_view text) {
    if (!file_) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
    if (!ok) close();
    return ok;
}

void RecordFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::optional<Message> writeSavedFile(const std::string& path, std::string_view text) {
    return writeFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace korvex::monitor
