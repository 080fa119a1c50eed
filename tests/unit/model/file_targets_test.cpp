// Saving and opening project files at places that are not plain files in a
// plain folder: symbolic links (followed, kept), links to nothing, loops,
// folders, pipes, devices, sockets, and names at the length limit.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<Project> projectOfKind(int kind) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    return p;
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

// Everything a folder holds, by relative name: the kind of entry and its
// content (a file's bytes, a link's text), to tell that a refused save changed
// nothing and that a successful one left no temporary file behind.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = e.path().lexically_relative(dir).string();
        struct stat st {};
        if (::lstat(e.path().c_str(), &st) != 0) continue;
        std::string what;
        if (S_ISLNK(st.st_mode)) what = "link " + std::filesystem::read_symlink(e.path()).string();
        else if (S_ISREG(st.st_mode)) {
            const Bytes b = fileBytes(e.path().string());
            what = "file " + std::string(b.begin(), b.end());
        } else if (S_ISDIR(st.st_mode)) what = "folder";
        else if (S_ISFIFO(st.st_mode)) what = "pipe";
        else if (S_ISCHR(st.st_mode)) what = "device";
        else if (S_ISSOCK(st.st_mode)) what = "socket";
        else what = "other";
        out[name] = what;
    }
    return out;
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The place a case saves to, made in a scratch folder.
struct Place {
    std::string path;    // what the user names (relative to the folder unless absolute)
    bool skip = false;   // the system does not let the test make it
};

// A regular file holding a kind-0 project, mode 0640, to be replaced.
void existingProject(const std::string& path) {
    auto p = projectOfKind(0);
    ASSERT_FALSE(writeProject(path, *p));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
}

struct TargetCase {
    const char* name;
    std::function<Place(const std::string& dir)> make;
    // A refused save: its message (and nothing in the folder changes). Otherwise
    // the save succeeds and `written` (relative) holds the project.
    std::optional<Text> saveRefused;
    const char* written;
    // The link that must still be a link after the save ("" for none).
    const char* keptLink;
    // Opening the place as made: its message, or nullopt when it opens.
    std::optional<Text> openRefused;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

std::string longName(size_t bytes) { return std::string(bytes - 4, 'n') + ".kvx"; }

const TargetCase kCases[] = {
    {"RegularFile",
     [](const std::string& d) {
         existingProject(d + "/p.kvx");
         return Place{d + "/p.kvx"};
     },
     std::nullopt, "p.kvx", "", std::nullopt},
    {"RelativeLinkIntoAnotherFolder",
     [](const std::string& d) {
         std::filesystem::create_directory(d + "/sub");
         existingProject(d + "/sub/t.kvx");
         std::filesystem::create_symlink("sub/t.kvx", d + "/link.kvx");
         return Place{d + "/link.kvx"};
     },
     std::nullopt, "sub/t.kvx", "link.kvx", std::nullopt},
    {"ChainOfLinksAbsoluteAndRelative",
     [](const std::string& d) {
         existingProject(d + "/t.kvx");
         std::filesystem::create_symlink(d + "/t.kvx", d + "/first.kvx");
         std::filesystem::create_symlink("first.kvx", d + "/second.kvx");
         return Place{d + "/second.kvx"};
     },
     std::nullopt, "t.kvx", "second.kvx", std::nullopt},
    {"DanglingLinkCreatesItsTarget",
     [](const std::string& d) {
         std::filesystem::create_symlink("made.kvx", d + "/link.kvx");
         return Place{d + "/link.kvx"};
     },
     std::nullopt, "made.kvx", "link.kvx", texts::FileNotFound},
    {"DanglingLinkIntoAMissingFolder",
     [](const std::string& d) {
         std::filesystem::create_symlink("nowhere/made.kvx", d + "/link.kvx");
         return Place{d + "/link.kvx"};
     },
     texts::FileNotFound, "", "", texts::FileNotFound},
    {"LinkLoop",
     [](const std::string& d) {
         std::filesystem::create_symlink("b.kvx", d + "/a.kvx");
         std::filesystem::create_symlink("a.kvx", d + "/b.kvx");
         return Place{d + "/a.kvx"};
     },
     texts::FileLinkLoop, "", "", texts::FileLinkLoop},
    {"LinkToAFolder",
     [](const std::string& d) {
         std::filesystem::create_directory(d + "/sub");
         std::filesystem::create_symlink("sub", d + "/link.kvx");
         return Place{d + "/link.kvx"};
     },
     texts::FileIsFolder, "", "", texts::FileIsFolder},
    {"Folder",
     [](const std::string& d) {
         std::filesystem::create_directory(d + "/sub.kvx");
         return Place{d + "/sub.kvx"};
     },
     texts::FileIsFolder, "", "", texts::FileIsFolder},
    {"NameEndingInASlash", [](const std::string& d) { return Place{d + "/sub/"}; }, texts::FileIsFolder, "", "",
     texts::FileNotFound},
    {"NameEndingInDotDot", [](const std::string& d) { return Place{d + "/.."}; }, texts::FileIsFolder, "", "",
     texts::FileIsFolder},
    {"RootFolder", [](const std::string&) { return Place{"/"}; }, texts::FileIsFolder, "", "", texts::FileIsFolder},
    {"EmptyName", [](const std::string&) { return Place{""}; }, texts::FileNameEmpty, "", "", texts::FileNameEmpty},
    {"Pipe",
     [](const std::string& d) {
         EXPECT_EQ(::mkfifo((d + "/p.kvx").c_str(), 0644), 0);
         return Place{d + "/p.kvx"};
     },
     texts::FileNotRegular, "", "", texts::FileNotRegular},
    {"LinkToAPipe",
     [](const std::string& d) {
         EXPECT_EQ(::mkfifo((d + "/pipe").c_str(), 0644), 0);
         std::filesystem::create_symlink("pipe", d + "/link.kvx");
         return Place{d + "/link.kvx"};
     },
     texts::FileNotRegular, "", "", texts::FileNotRegular},
    {"CharacterDevice",
     [](const std::string& d) {
         // The null device's numbers; making one needs a privilege tests may lack.
         if (::mknod((d + "/null.kvx").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return Place{"", true};
         return Place{d + "/null.kvx"};
     },
     texts::FileNotRegular, "", "", texts::FileNotRegular},
    {"Socket",
     [](const std::string& d) {
         const std::string path = d + "/s.kvx";
         sockaddr_un addr{};
         addr.sun_family = AF_UNIX;
         if (path.size() >= sizeof addr.sun_path) return Place{"", true};
         path.copy(addr.sun_path, path.size());
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
         if (fd >= 0) ::close(fd);  // the socket file stays
         return bound ? Place{path} : Place{"", true};
     },
     texts::FileNotRegular, "", "", texts::FileNotRegular},
    {"Name248Bytes",
     [](const std::string& d) {
         existingProject(d + "/" + longName(248));
         return Place{d + "/" + longName(248)};
     },
     std::nullopt, "", "", std::nullopt},
    {"Name255Bytes", [](const std::string& d) { return Place{d + "/" + longName(255)}; }, std::nullopt, "", "",
     texts::FileNotFound},
    {"Name256BytesIsTooLong", [](const std::string& d) { return Place{d + "/" + longName(256)}; },
     texts::FileNameTooLong, "", "", texts::FileNameTooLong},
};

class SpecialTarget : public ::testing::TestWithParam<TargetCase> {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/korvex-targets-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Where a successful save lands: the named file, or the place itself.
    std::string written(const std::string& place) const {
        return *GetParam().written ? dir_ + "/" + GetParam().written : place;
    }

    std::string dir_;
};

TEST_P(SpecialTarget, SaveWritesTheFileBehindOrRefusesAndChangesNothing) {
    const TargetCase& c = GetParam();
    const Place made = c.make(dir_);
    if (made.skip) GTEST_SKIP() << "the system does not let the test make it";
    const std::string& place = made.path;
    struct stat before {};
    const bool existed = ::stat(written(place).c_str(), &before) == 0;
    const auto folderBefore = snapshot(dir_);

    auto project = projectOfKind(5);
    project->modified = true;
    const auto err = writeProject(place, *project);

    if (c.saveRefused) {
        ASSERT_TRUE(err);
        EXPECT_EQ(err->id, *c.saveRefused) << err->text();
        if (!place.empty()) { EXPECT_EQ(err->args, std::vector<std::string>{place}); }
        EXPECT_TRUE(project->modified);
        EXPECT_EQ(snapshot(dir_), folderBefore);
        return;
    }
    ASSERT_FALSE(err) << err->text();
    EXPECT_FALSE(project->modified);
    const std::string target = written(place);
    EXPECT_EQ(fileBytes(target), projectFileBytes(*project));
    if (*c.keptLink) { EXPECT_TRUE(isLink(dir_ + "/" + c.keptLink)); }
    // The file keeps its permissions, and nothing but it is new or changed.
    struct stat after {};
    ASSERT_EQ(::lstat(target.c_str(), &after), 0);
    EXPECT_TRUE(S_ISREG(after.st_mode));
    if (existed) { EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777); }
    auto expected = folderBefore;
    const Bytes b = projectFileBytes(*project);
    expected[std::filesystem::path(target).lexically_relative(dir_).string()] = "file " + std::string(b.begin(), b.end());
    EXPECT_EQ(snapshot(dir_), expected);

    // What was saved opens again through the same name.
    auto back = projectOfKind(0);
    ASSERT_FALSE(openProject(place, *back));
    EXPECT_EQ(back->deviceKind, 5);
}

TEST_P(SpecialTarget, OpenReadsTheFileBehindOrRefusesWithoutWaiting) {
    const TargetCase& c = GetParam();
    const Place made = c.make(dir_);
    if (made.skip) GTEST_SKIP() << "the system does not let the test make it";
    const std::string& place = made.path;
    auto project = projectOfKind(3);
    // A pipe without a writer would block a plain open for ever; the watchdog
    // turns such a hang into a failure.
    ::alarm(30);
    const auto err = openProject(place, *project);
    ::alarm(0);
    if (c.openRefused) {
        ASSERT_TRUE(err);
        EXPECT_EQ(err->id, *c.openRefused) << err->text();
        EXPECT_EQ(project->deviceKind, 3);
    } else {
        ASSERT_FALSE(err) << err->text();
        EXPECT_EQ(project->deviceKind, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Places, SpecialTarget, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A link on one file system to a file on another: the temporary file has to be
// made beside the file, or the final rename could not cross to it.
TEST(SaveThroughALink, TheTemporaryFileIsMadeBesideTheTargetNotTheLink) {
    char here[] = "/tmp/korvex-link-XXXXXX";
    char there[] = "/dev/shm/korvex-target-XXXXXX";
    if (!::mkdtemp(here)) GTEST_SKIP() << "no scratch folder";
    if (!::mkdtemp(there)) {
        std::filesystem::remove_all(here);
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    struct stat a {}, b {};
    ::stat(here, &a);
    ::stat(there, &b);
    const std::string target = std::string(there) + "/t.kvx";
    const std::string link = std::string(here) + "/link.kvx";
    std::filesystem::create_symlink(target, link);
    auto project = projectOfKind(2);
    const auto err = writeProject(link, *project);
    const Bytes written = fileBytes(target);
    const bool linkKept = isLink(link);
    const auto besideLink = std::distance(std::filesystem::directory_iterator(here), {});
    std::filesystem::remove_all(here);
    std::filesystem::remove_all(there);
    if (a.st_dev == b.st_dev) GTEST_SKIP() << "/dev/shm is on the same file system";
    ASSERT_FALSE(err) << err->text();
    EXPECT_EQ(written, projectFileBytes(*project));
    EXPECT_TRUE(linkKept);
    EXPECT_EQ(besideLink, 1);
}

}  // namespace
}  // namespace korvex
