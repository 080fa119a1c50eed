#include "monitor/record_file.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/file_io.h"
#include "model/texts.h"

namespace korvex::monitor {

std::optional<Message> RecordFile::open(const std::string& path) {
    close();
    if (path.empty()) return Message{texts::FileNameEmpty, {}};
    // Only a regular file is replaced: the file is opened without emptying it
    // (and without waiting on a pipe), checked, and only then emptied.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return fileErrorMessage(errno, path, FileAction::Save);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return Message{folder ? texts::FileIsFolder : texts::FileNotRegular, {path}};
    }
    if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0) {
        const int e = errno;
        ::close(fd);
        return fileErrorMessage(e, path, FileAction::Save);
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int e = errno;
        ::close(fd);
        return fileErrorMessage(e, path, FileAction::Save);
    }
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
