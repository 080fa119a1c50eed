#include "model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/texts.h"

namespace korvex {

Message fileErrorMessage(int e, const std::string& path, FileAction action) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return {texts::FileNotFound, {path}};
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return {texts::AccessDenied, {path}};
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return {texts::DiskFull, {path}};
        case EBUSY:
        case ETXTBSY:
            return {texts::SharingViolation, {path}};
        default:
            return {action == FileAction::Open ? texts::FailedToOpenDocument : texts::FailedToSaveDocument, {}};
    }
}

std::optional<Message> readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fileErrorMessage(errno, path, FileAction::Open);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return fileErrorMessage(e, path, FileAction::Open);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Message{texts::AccessDenied, {path}};
    }
    std::vector<std::uint8_t> data;
    std::uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            return fileErrorMessage(e, path, FileAction::Open);
        }
        if (n == 0) break;
        if (data.size() + static_cast<size_t>(n) > maxBytes) {
            ::close(fd);
            return Message{texts::UnexpectedFileFormat, {}};
        }
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    out = std::move(data);
    return std::nullopt;
}

std::optional<Message> writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmpl = dir + "/." + base + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return fileErrorMessage(errno, path, FileAction::Save);
    const std::string tmp(name.data());

    auto fail = [&](int e) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return fileErrorMessage(e, path, FileAction::Save);
    };

    // Keep the permissions of the file being replaced; a new file gets the
    // usual 0666 less the umask.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) return fail(errno);

    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return fileErrorMessage(e, path, FileAction::Save);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return fileErrorMessage(e, path, FileAction::Save);
    }
    return std::nullopt;
}

}  // namespace korvex
