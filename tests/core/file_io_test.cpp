#include "core/file_error.h"
#include "core/file_io.h"
#include "core/qd3_file.h"

#include "support/dataset_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace tess;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// A sink that accepts `budget` bytes in all and then reports a full disk.
WriteFunction failingAfter(size_t budget) {
    auto left = std::make_shared<size_t>(budget);
    return [left](int fd, const void* data, size_t size) -> ssize_t {
        if (*left == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min(size, *left);
        *left -= n;
        return ::write(fd, data, n);
    };
}

size_t filesIn(const fs::path& dir) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

TEST(AtomicSave, AFailingWriteKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string target = dir.file("data.qd3");
    writeBytes(target, "the old file\r\n");
    Dataset ds =
        DatasetBuilder().person("Ann", 1850, 1870).category(kindFactions, "F", 255).build();
    const size_t whole = formatDataset(ds).size();
    for (size_t budget : {size_t{0}, size_t{1}, whole / 2, whole - 1}) {
        SCOPED_TRACE(budget);
        ds.saveSelectedOnly = 1;
        try {
            writeDataset(ds, target, failingAfter(budget));
            FAIL() << "the write did not report the failure";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot save \"" + target + "\": No space left on device");
        }
        EXPECT_EQ(readBytes(target), "the old file\r\n");
        EXPECT_EQ(filesIn(dir.path()), 1u);
        EXPECT_EQ(ds.saveSelectedOnly, 0);
    }
    // With room for every byte, the same sink writes the whole file.
    writeDataset(ds, target, failingAfter(whole));
    EXPECT_EQ(readBytes(target), formatDataset(ds));
}

TEST(AtomicSave, FoldersThatCannotBeWritten) {
    const Dataset ds = DatasetBuilder().person("Ann", 1850, 1870).build();
    // Even root cannot create files in /proc; a missing folder fails for everyone.
    for (const std::string& path :
         {std::string("/proc/tessaline-test.qd3"), std::string("/no/such/folder/x.qd3")}) {
        SCOPED_TRACE(path);
        Dataset copy = ds;
        EXPECT_THROW(writeDataset(copy, path), FileError);
    }
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    Dataset copy = ds;
    EXPECT_THROW(writeDataset(copy, dir.file("plain") + "/x.qd3"), FileError);
    EXPECT_THROW(writeDataset(copy, dir.path().string()), FileError); // a folder as target

    if (::geteuid() != 0) {
        fs::create_directory(dir.path() / "ro");
        const std::string target = (dir.path() / "ro" / "x.qd3").string();
        writeBytes(target, "old");
        fs::permissions(dir.path() / "ro", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(writeDataset(copy, target), FileError);
        EXPECT_EQ(readBytes(target), "old");
        fs::permissions(dir.path() / "ro", fs::perms::owner_all);
    }
}

TEST(AtomicSave, KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    Dataset ds = DatasetBuilder().person("Ann", 1850, 1870).build();
    const std::string target = dir.file("data.qd3");
    writeBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    writeDataset(ds, target);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

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
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicSave, ReadWholeFileReadsOnlyRegularFiles) {
    EXPECT_THROW(readWholeFile("/no/such/file"), FileError);
    TempDir dir;
    // A pipe named like a dataset must not make the program wait for a writer forever.
    const std::string fifo = dir.file("pipe.qd3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        readWholeFile(fifo);
        FAIL() << "a pipe was read";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read \"" + fifo + "\": it is not a regular file");
    }
    writeBytes(dir.file("a"), std::string("x\0y", 3));
    EXPECT_EQ(readWholeFile(dir.file("a")), std::string("x\0y", 3));
}
