#include "core/file_error.h"
#include "core/file_io.h"
#include "core/qd3_file.h"

#include "support/dataset_builder.h"
#include "support/faults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <tuple>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tess;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// A sink that writes half of what it is given and then dies as under `kill -9`.
ssize_t halfThenKilled(int fd, const void* data, size_t size) {
    const ssize_t n = ::write(fd, data, size / 2);
    ::raise(SIGKILL);
    return n;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::string saveError(const std::string& path, const std::string& data,
                      const WriteFunction& write = {}) {
    return failureOf([&] { writeFileAtomic(path, data, write); });
}

} // namespace

// Even root cannot create files in /proc; the rest fail for everyone.
TEST(AtomicSave, FoldersThatCannotBeWritten) {
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    for (const std::string& path :
         {std::string("/proc/tessaline-test.qd3"), std::string("/no/such/folder/x.qd3"),
          dir.file("plain") + "/x.qd3", dir.path().string()}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(saveError(path, "new").starts_with("Cannot save \"" + path + "\": "));
    }
}

TEST(AtomicSave, KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    Dataset ds = DatasetBuilder().person("Ann", 1850, 1870).build();
    const std::string target = dir.file("data.qd3");
    writeBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    writeDataset(ds, target);
    EXPECT_EQ(statOf(target).st_mode & 07777, 0640u);
    if (::geteuid() == 0) { // only root can give a file away
        ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
        writeDataset(ds, target);
        const struct stat st = statOf(target);
        EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777),
                  std::tuple(65534u, 65534u, 0640u));
    }

    fs::create_directory(dir.path() / "real");
    const std::string real = (dir.path() / "real" / "r.qd3").string();
    writeBytes(real, "old");
    fs::create_symlink("real/r.qd3", dir.path() / "link.qd3");
    writeDataset(ds, dir.file("link.qd3"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.qd3"));
    EXPECT_EQ(readBytes(real), formatDataset(ds));

    // A new file gets the usual permissions, not those of a private temporary file.
    const std::string fresh = dir.file("fresh.qd3");
    const mode_t mask = ::umask(022);
    writeDataset(ds, fresh);
    ::umask(mask);
    EXPECT_EQ(statOf(fresh).st_mode & 0777, 0644u);
}

// A pipe named like a dataset must not make the program wait for a writer forever.
TEST(AtomicSave, RefusesWhatIsNotARegularFileAndLeavesItAlone) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.qd3").c_str(), 0644), 0);
    EXPECT_EQ(failureOf([&] { readWholeFile(dir.file("pipe.qd3")); }),
              "Cannot read \"" + dir.file("pipe.qd3") + "\": it is not a regular file");
    fs::create_symlink("pipe.qd3", dir.path() / "link.qd3");
    // A device like /dev/null, made here when allowed; the real one is refused before it is
    // touched.
    const bool made = ::mknod(dir.file("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
    const size_t files = filesIn(dir.path());
    for (const std::string& target :
         {dir.file("pipe.qd3"), dir.file("link.qd3"), made ? dir.file("null") : "/dev/null"}) {
        SCOPED_TRACE(target);
        const struct stat before = statOf(target);
        EXPECT_EQ(saveError(target, "new"),
                  "Cannot save \"" + target + "\": it is not a regular file");
        const struct stat after = statOf(target);
        EXPECT_EQ(std::tuple(after.st_mode, after.st_ino, after.st_rdev, filesIn(dir.path())),
                  std::tuple(before.st_mode, before.st_ino, before.st_rdev, files));
    }
}

TEST(AtomicSave, RefusesAFileTheUserMayNotWrite) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all); // the rename alone would be allowed
    const std::string locked = dir.file("locked.qd3");
    writeBytes(locked, "old");
    ::chmod(locked.c_str(), 0444);
    const int outcome = asUnprivilegedUser([&] {
        if (!saveError(dir.file("fresh.qd3"), "new").empty())
            return 3; // the user can save at all
        const std::string error = saveError(locked, "new");
        return error == "Cannot save \"" + locked + "\": Permission denied" ? 0 : 1;
    });
    if (outcome == 77)
        GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(outcome, 0) << "1: not refused as it should be, 3: no save worked at all";
    EXPECT_EQ(readBytes(locked), "old");
    EXPECT_EQ(filesIn(dir.path()), 2u);
}

// A write that fails after any number of bytes leaves the old file, and its hard links, as they
// were and nothing beside it; a hard-linked file stays one file when saved.
TEST(AtomicSave, AFailedWriteLeavesTheOldFileAndNothingElse) {
    TempDir dir;
    const std::string target = dir.file("data.qd3");
    writeBytes(target, "the old file\r\n");
    const std::string data = formatDataset(DatasetBuilder().person("Ann", 1850, 1870).build());
    for (const size_t files : {1u, 2u}) {
        if (files == 2) {
            ASSERT_EQ(::link(target.c_str(), dir.file("other.qd3").c_str()), 0);
        }
        for (size_t n = 0; n < data.size(); ++n) {
            SCOPED_TRACE(n);
            ASSERT_EQ(saveError(target, data, failingAfter(n)),
                      "Cannot save \"" + target + "\": No space left on device");
            ASSERT_EQ(readBytes(target), "the old file\r\n");
            ASSERT_EQ(filesIn(dir.path()), files);
        }
    }
    const ino_t inode = statOf(target).st_ino;
    for (const std::string& text : {data, std::string("short")}) {
        writeFileAtomic(target, text);
        EXPECT_EQ(readBytes(dir.file("other.qd3")), text);
        EXPECT_EQ(std::tuple(statOf(target).st_ino, statOf(target).st_nlink, filesIn(dir.path())),
                  std::tuple(inode, nlink_t{2}, size_t{2}));
    }
}

TEST(AtomicSave, TheLongestLegalNameSaves) {
    TempDir dir;
    // NAME_MAX bytes; saved as a new file, over the old one, and behind a backup.
    const std::string target = dir.file(std::string(251, 'n') + ".qd3");
    writeFileAtomic(target, "first");
    writeFileAtomic(target, "second");
    ASSERT_EQ(::link(target.c_str(), dir.file("other.qd3").c_str()), 0);
    writeFileAtomic(target, "third");
    EXPECT_EQ(readBytes(dir.file("other.qd3")), "third");
    EXPECT_EQ(filesIn(dir.path()), 2u);
}

TEST(AtomicSave, NothingAKilledSaveLeavesOutlivesTheNextSave) {
    TempDir dir;
    const std::string target = dir.file("data.qd3");
    const std::string data(100000, 'x');
    writeBytes(target, "old");
    EXPECT_EQ(inChild([&] { return saveError(target, data, halfThenKilled).empty(); }),
              128 + SIGKILL);
    EXPECT_EQ(readBytes(target), "old");
    writeFileAtomic(target, "new");
    EXPECT_EQ(filesIn(dir.path()), 1u);

    // Killed while rewriting a hard-linked file, a save leaves the file cut short and its
    // backup of the old contents, which is kept, and which a failed read points to.
    ASSERT_EQ(::link(target.c_str(), dir.file("other.qd3").c_str()), 0);
    EXPECT_EQ(inChild([&] { return saveError(target, data, halfThenKilled).empty(); }),
              128 + SIGKILL);
    EXPECT_EQ(filesIn(dir.path()), 3u);
    const std::vector<std::string> copies = interruptedSaveCopies(target);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(readBytes(copies[0]), "new");
    Dataset ds;
    EXPECT_NE(failureOf([&] { readDataset(ds, target); }).find("kept as \"" + copies[0] + "\"."),
              std::string::npos);
    writeFileAtomic(target, "newer");
    EXPECT_EQ(readBytes(dir.file("other.qd3")), "newer");
    EXPECT_EQ(filesIn(dir.path()), 3u);

    // A temporary that a running save still holds is not taken for stale.
    const std::string busy = dir.file(".data.qd3.tsl-tmp-Busy01");
    const std::string stale = dir.file(".data.qd3.tsl-tmp-Stale1");
    writeBytes(busy, "busy");
    writeBytes(stale, "stale");
    const int held = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    writeFileAtomic(target, "newest");
    ::close(held);
    EXPECT_TRUE(fs::exists(busy) && !fs::exists(stale));
}
