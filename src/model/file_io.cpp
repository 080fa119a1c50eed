#include "model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/texts.h"

namespace korvex {

namespace {

// Links followed before a save gives up with a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;
// Longest link text read; longer ones cannot name a path the system opens.
constexpr std::size_t kMaxLinkText = 65536;
// The temporary file's name: 14 bytes, the least every POSIX file system takes,
// so it fits beside a target of any name.
constexpr char kTemporaryName[] = ".korvex-XXXXXX";

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and returns what close said (0 or errno).
    int close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The folder part of a path ("." when it has none) and its last name.
std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "dir/", "dir/." and "dir/.." name a folder whether it exists or not.
bool namesFolder(const std::string& path) {
    const std::string name = lastNameOf(path);
    return name.empty() || name == "." || name == "..";
}

// Anything but a regular file is refused, by the name the user gave.
std::optional<Message> refuseIfNotRegular(mode_t mode, const std::string& shownPath) {
    if (S_ISDIR(mode)) return Message{texts::FileIsFolder, {shownPath}};
    if (!S_ISREG(mode)) return Message{texts::FileNotRegular, {shownPath}};
    return std::nullopt;
}

// The text of a symbolic link.
bool readLinkText(const std::string& link, std::string& text) {
    std::string buf(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), buf.data(), buf.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            text = std::move(buf);
            return true;
        }
        if (buf.size() >= kMaxLinkText) {
            errno = ENAMETOOLONG;
            return false;
        }
        buf.resize(buf.size() * 2);
    }
}

// Where a save to `path` lands: the regular file it names, after following
// symbolic links; `exists` tells whether that file is there already (then
// `existing` holds its status).
struct SaveTarget {
    std::string path;
    bool exists = false;
    struct stat existing {};
};

std::optional<Message> resolveSaveTarget(const std::string& path, SaveTarget& target) {
    std::string current = path;
    for (int hop = 0;; ++hop) {
        if (namesFolder(current)) return Message{texts::FileIsFolder, {path}};
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return fileErrorMessage(errno, path, FileAction::Save);
            // Nothing there yet (or a link pointing to nothing): the file is created.
            target.path = current;
            target.exists = false;
            return std::nullopt;
        }
        if (S_ISLNK(st.st_mode)) {
            if (hop >= kMaxLinkHops) return fileErrorMessage(ELOOP, path, FileAction::Save);
            std::string text;
            if (!readLinkText(current, text)) return fileErrorMessage(errno, path, FileAction::Save);
            if (text.empty()) return fileErrorMessage(ENOENT, path, FileAction::Save);
            // A relative link is relative to the folder that holds the link.
            current = text.front() == '/' ? text : folderOf(current) + "/" + text;
            continue;
        }
        if (auto refused = refuseIfNotRegular(st.st_mode, path)) return refused;
        target.path = current;
        target.exists = true;
        target.existing = st;
        return std::nullopt;
    }
}

// Makes a rename durable; a file system that cannot sync folders loses nothing
// by it, so failures are ignored.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

Message fileErrorMessage(int e, const std::string& path, FileAction action) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return {texts::FileNotFound, {path}};
        case EACCES:
        case EPERM:
        case EROFS:
            return {texts::AccessDenied, {path}};
        case EISDIR:
            return {texts::FileIsFolder, {path}};
        case ENAMETOOLONG:
            return {texts::FileNameTooLong, {path}};
        case ELOOP:
            return {texts::FileLinkLoop, {path}};
        case ENXIO:
            return {texts::FileNotRegular, {path}};
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
    if (path.empty()) return Message{texts::FileNameEmpty, {}};
    // Looked at before opening, so a device is never opened at all; opened
    // without blocking and looked at again, so a pipe put there meanwhile cannot
    // make the open or the first read wait for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fileErrorMessage(errno, path, FileAction::Open);
    if (auto refused = refuseIfNotRegular(st.st_mode, path)) return refused;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return fileErrorMessage(errno, path, FileAction::Open);
    if (::fstat(fd.get(), &st) != 0) return fileErrorMessage(errno, path, FileAction::Open);
    if (auto refused = refuseIfNotRegular(st.st_mode, path)) return refused;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) (void)::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return Message{texts::UnexpectedFileFormat, {}};

    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fileErrorMessage(errno, path, FileAction::Open);
        }
        if (n == 0) break;
        // The file may grow while it is read; the bound holds all the same.
        if (data.size() + static_cast<size_t>(n) > maxBytes) return Message{texts::UnexpectedFileFormat, {}};
        data.insert(data.end(), buf, buf + n);
    }
    out = std::move(data);
    return std::nullopt;
}

std::optional<Message> writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (path.empty()) return Message{texts::FileNameEmpty, {}};
    SaveTarget target;
    if (auto err = resolveSaveTarget(path, target)) return err;

    const std::string folder = folderOf(target.path);
    std::string tmpl = (folder == "/" ? std::string() : folder) + "/" + kTemporaryName;
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    FileDescriptor fd(::mkstemp(name.data()));
    if (fd.get() < 0) return fileErrorMessage(errno, path, FileAction::Save);
    const std::string tmp(name.data());

    auto fail = [&](int e) {
        ::unlink(tmp.c_str());
        return fileErrorMessage(e, path, FileAction::Save);
    };

    // Keep the permissions of the file being replaced; a new file gets the
    // usual 0666 less the umask.
    mode_t mode;
    if (target.exists) {
        mode = target.existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0) return fail(errno);

    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0) return fail(errno);
    if (const int e = fd.close(); e != 0) return fail(e);
    // Looked at once more: what was a regular file or nothing when the save
    // began may have been replaced by a pipe or a device meanwhile.
    struct stat now {};
    if (::lstat(target.path.c_str(), &now) == 0 && !S_ISREG(now.st_mode) && !S_ISLNK(now.st_mode)) {
        ::unlink(tmp.c_str());
        return refuseIfNotRegular(now.st_mode, path);
    }
    if (::rename(tmp.c_str(), target.path.c_str()) != 0) return fail(errno);
    syncFolder(folder);
    return std::nullopt;
}

}  // namespace korvex
