#include "core/file_io.h"

#include "core/file_error.h"
#include "core/large_arrays.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tess {

namespace {

std::string systemError(const std::string& action, const std::string& path, int err) {
    return action + " \"" + path + "\": " + std::strerror(err);
}

// Closes a descriptor on every path out of a function.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// Follows a chain of symbolic links to the file that is really to be replaced. A dangling link
// yields the path it names, so the save creates that file.
std::string resolveTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string buf(static_cast<size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
        if (n < 0)
            return current;
        buf.resize(static_cast<size_t>(n));
        if (!buf.empty() && buf.front() == '/') {
            current = buf;
        } else {
            const auto slash = current.rfind('/');
            current =
                (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + buf;
        }
    }
    throw FileError(systemError("Cannot save", path, ELOOP));
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

[[noreturn]] void fail(const std::string& path, int err) {
    throw FileError(systemError("Cannot save", path, err));
}

// Writes all of data at the descriptor's position, through the test hook when one is given.
// Returns 0 or the error.
int writeAll(int fd, std::string_view data, const WriteFunction& write = {}) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = write ? write(fd, p, left) : ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

// Copies the whole of one file to another's position. Returns 0 or the error.
int copyContents(int from, int to) {
    std::vector<char> buf(size_t{1} << 20);
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(from, buf.data(), buf.size(), at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (const int err = writeAll(to, std::string_view(buf.data(), static_cast<size_t>(n))))
            return err;
        at += n;
    }
}

void syncFolder(const std::string& folder) {
    Fd dir;
    dir.fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0)
        (void)::fsync(dir.fd);
}

// Scratch files are named ".NAME.tsl-tmp-XXXXXX" (the new contents on their way in) and
// ".NAME.tsl-bak-XXXXXX" (the old contents of a hard-linked file while it is rewritten), so
// that a later save can tell which ones a killed save left behind.
constexpr std::string_view tempMark = ".tsl-tmp-";
constexpr std::string_view backupMark = ".tsl-bak-";
constexpr size_t suffixLength = 6;
constexpr std::string_view suffixChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

struct ScratchNames {
    std::string temp; // name prefixes; a random suffix follows
    std::string backup;
};

ScratchNames scratchNames(const std::string& folder, const std::string& base) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const size_t nameMax = limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
    static_assert(tempMark.size() == backupMark.size());
    const size_t fixed = 1 + tempMark.size() + suffixLength;
    std::string head = base;
    if (fixed + base.size() > nameMax) {
        // A legal name may leave no room for the additions, so part of it is cut; a hash of the
        // whole name keeps long names that start alike apart.
        std::uint32_t hash = 2166136261u;
        for (const unsigned char c : base)
            hash = (hash ^ c) * 16777619u;
        char tag[16];
        std::snprintf(tag, sizeof tag, "-%08x", static_cast<unsigned>(hash));
        const size_t room = nameMax > fixed + 9 ? nameMax - fixed - 9 : 0;
        size_t keep = std::min(room, base.size());
        // Cut between characters, not inside one.
        while (keep > 0 && keep < base.size() &&
               (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
            --keep;
        head = base.substr(0, keep) + tag;
    }
    return {"." + head + std::string(tempMark), "." + head + std::string(backupMark)};
}

std::string randomSuffix() {
    unsigned char bytes[suffixLength];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // The names need only differ from one attempt to the next; a taken one is retried.
        static std::atomic<unsigned long long> counter{0};
        unsigned long long x =
            (counter += 0x9E3779B97F4A7C15ull) ^ static_cast<unsigned long long>(::getpid()) << 20;
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(x);
            x >>= 8;
        }
    }
    std::string s;
    for (const unsigned char b : bytes)
        s += suffixChars[b % suffixChars.size()];
    return s;
}

bool sameFile(int fd, int dirFd, const char* name) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::fstatat(dirFd, name, &b, AT_SYMLINK_NOFOLLOW) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Calls visit(dirFd, name, st) for each regular scratch file with the given prefix that no
// save is using any more, while holding its lock. A save holds a lock on its scratch file for
// as long as it runs, and the lock dies with the process, so a file that can be locked was
// left by a save that was killed.
template <typename Visit>
void forEachLeftover(const std::string& folder, const std::string& prefix, Visit visit) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name = e->d_name;
        if (name.size() != prefix.size() + suffixLength || !name.starts_with(prefix) ||
            name.substr(prefix.size()).find_first_not_of(suffixChars) != std::string_view::npos)
            continue;
        Fd f;
        f.fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            ::flock(f.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (sameFile(f.fd, dirFd, e->d_name))
            visit(dirFd, e->d_name, st);
    }
}

void removeStale(const std::string& folder, const std::string& prefix) {
    forEachLeftover(folder, prefix, [](int dirFd, const char* name, const struct stat&) {
        ::unlinkat(dirFd, name, 0);
    });
}

// A file in the target's folder that holds data on its way in or out. Where the file system
// allows, it has no name until it is complete, so a save that is killed leaves nothing behind;
// elsewhere it is named at once and a later save removes it. Either way it stays locked while
// this save runs, and it is removed unless it was renamed or kept.
class ScratchFile {
public:
    ScratchFile(std::string folder, std::string prefix)
        : folder_(std::move(folder)), prefix_(std::move(prefix)) {}
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }

    // Returns 0 or the error.
    int create() {
#ifdef O_TMPFILE
        fd_.fd = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_.fd >= 0) {
            (void)::flock(fd_.fd, LOCK_EX);
            return 0;
        }
        // Older kernels take the flag for O_DIRECTORY and say EISDIR.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
#endif
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = folder_ + "/" + prefix_ + randomSuffix();
            Fd f;
            f.fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (f.fd < 0) {
                if (errno == EEXIST)
                    continue;
                return errno;
            }
            // Another save may have taken it for stale between its creation and the lock.
            (void)::flock(f.fd, LOCK_EX);
            if (!sameFile(f.fd, AT_FDCWD, name.c_str()))
                continue;
            fd_.fd = f.release();
            path_ = std::move(name);
            return 0;
        }
        return EEXIST;
    }

    // Gives a file that has no name yet one. Returns 0 or the error.
    int name() {
        for (int attempt = 0; path_.empty() && attempt < 100; ++attempt) {
            std::string name = folder_ + "/" + prefix_ + randomSuffix();
            const std::string self = "/proc/self/fd/" + std::to_string(fd_.fd);
            int r = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
            if (r != 0 && errno == ENOENT) // no /proc
                r = ::linkat(fd_.fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
            if (r == 0)
                path_ = std::move(name);
            else if (errno != EEXIST)
                return errno;
        }
        return path_.empty() ? EEXIST : 0;
    }

    int fd() const {
        return fd_.fd;
    }
    const std::string& path() const {
        return path_;
    }
    // The name no longer belongs to this file (it was renamed), or must survive.
    void release() {
        path_.clear();
    }

private:
    std::string folder_;
    std::string prefix_;
    Fd fd_;
    std::string path_;
};

// Gives the complete temporary the old file's owner and permissions, or mode, makes it durable
// and renames it over target.
void putInPlace(ScratchFile& temp, const std::string& path, const std::string& target,
                const std::string& folder, const struct stat* old, mode_t mode) {
    if (old) {
        // Whoever may use the file keeps that right; only root can give a file away, and a
        // member of the file's group can at least keep the group.
        struct stat now {};
        if (::fstat(temp.fd(), &now) == 0 &&
            (now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
            ::fchown(temp.fd(), old->st_uid, old->st_gid) != 0)
            (void)::fchown(temp.fd(), static_cast<uid_t>(-1), old->st_gid);
    }
    // After the change of owner, which clears the set-id bits.
    if (::fchmod(temp.fd(), mode) != 0)
        fail(path, errno);
    if (::fsync(temp.fd()) != 0)
        fail(path, errno);
    if (const int err = temp.name())
        fail(path, err);
    if (::rename(temp.path().c_str(), target.c_str()) != 0)
        fail(path, errno);
    temp.release();
    // Make the rename itself durable; a failure here no longer endangers either file.
    syncFolder(folder);
}

void replaceByRename(const std::string& path, const std::string& target, const std::string& folder,
                     const std::string& prefix, const struct stat* old, mode_t mode,
                     std::string_view data, const WriteFunction& write) {
    ScratchFile temp(folder, prefix);
    if (const int err = temp.create())
        fail(path, err);
    if (const int err = writeAll(temp.fd(), data, write))
        fail(path, err);
    putInPlace(temp, path, target, folder, old, mode);
}

// Renaming would split a file with several hard links into an old inode under the other names
// and a new one under this name, so such a file is rewritten where it is, behind a backup.
void rewriteInPlace(const std::string& path, const std::string& target, const std::string& folder,
                    const std::string& prefix, std::string_view data, const WriteFunction& write) {
    Fd file;
    file.fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        fail(path, errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        fail(path, errno);
    if (!S_ISREG(st.st_mode))
        throw FileError("Cannot save \"" + path + "\": it is not a regular file");

    // The backup is complete and on disk under its name before the file is touched, so that
    // even a crash half-way leaves the old contents beside it.
    ScratchFile backup(folder, prefix);
    if (const int err = backup.create())
        fail(path, err);
    if (const int err = copyContents(file.fd, backup.fd()))
        fail(path, err);
    if (::fsync(backup.fd()) != 0)
        fail(path, errno);
    if (const int err = backup.name())
        fail(path, err);
    syncFolder(folder);

    int err = 0;
    if (::lseek(file.fd, 0, SEEK_SET) < 0)
        err = errno;
    if (err == 0)
        err = writeAll(file.fd, data, write);
    if (err == 0 && ::ftruncate(file.fd, static_cast<off_t>(data.size())) != 0)
        err = errno;
    if (err == 0 && ::fsync(file.fd) != 0)
        err = errno;
    if (err == 0)
        return; // the backup goes with the scratch file

    int lost = 0;
    if (::lseek(file.fd, 0, SEEK_SET) < 0)
        lost = errno;
    if (lost == 0)
        lost = copyContents(backup.fd(), file.fd);
    if (lost == 0 && ::ftruncate(file.fd, st.st_size) != 0)
        lost = errno;
    if (lost == 0 && ::fsync(file.fd) != 0)
        lost = errno;
    if (lost != 0) {
        // The backup is now the only whole copy of the old contents; it must not go.
        const std::string kept = backup.path();
        backup.release();
        throw FileError(systemError("Cannot save", path, err) +
                        "; the previous contents are kept in \"" + kept + "\"");
    }
    fail(path, err);
}

} // namespace

std::string readWholeFile(const std::string& path, size_t maxBytes) {
    Fd f;
    // Opened without waiting, so that a pipe or device named like a dataset cannot hang the
    // program; only regular files are read.
    f.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (f.fd < 0)
        throw FileError(systemError("Cannot open", path, errno));
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        throw FileError(systemError("Cannot read", path, errno));
    if (S_ISDIR(st.st_mode))
        throw FileError(systemError("Cannot read", path, EISDIR));
    if (!S_ISREG(st.st_mode))
        throw FileError("Cannot read \"" + path + "\": it is not a regular file");
    const auto tooLarge = [&] {
        return FileError("Cannot read \"" + path + "\": it is larger than " +
                         std::to_string(maxBytes) + " bytes");
    };
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        throw tooLarge();
    // A regular file is read straight into a buffer of its size; anything else (or a file
    // that grows meanwhile) in chunks.
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        data.reserve(static_cast<size_t>(st.st_size));
        adviseHugePages(data.data(), data.capacity());
        data.resize(static_cast<size_t>(st.st_size));
    }
    size_t used = 0;
    char chunk[1 << 16];
    for (;;) {
        const bool intoData = used < data.size();
        const ssize_t n = intoData ? ::read(f.fd, data.data() + used, data.size() - used)
                                   : ::read(f.fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(systemError("Cannot read", path, errno));
        }
        if (n == 0)
            break;
        if (!intoData)
            data.append(chunk, static_cast<size_t>(n));
        used += static_cast<size_t>(n);
        if (used > maxBytes)
            throw tooLarge();
    }
    data.resize(used);
    return data;
}

namespace {

// The process's umask. Reading it with umask() means setting it for a moment, which another
// thread creating a file meanwhile (the background recovery copy) would see, and a race of two
// such readers could leave it at 0 for good; the kernel reports it read-only in
// /proc/self/status.
mode_t currentUmask() {
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
        ::close(fd);
        if (n > 0) {
            buffer[n] = '\0';
            if (const char* line = std::strstr(buffer, "\nUmask:")) {
                unsigned value = 0;
                if (std::sscanf(line + 7, "%o", &value) == 1)
                    return static_cast<mode_t>(value & 0777);
            }
        }
    }
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

namespace {

// Where a save of path goes and what it replaces, once it is known that it may.
struct Destination {
    std::string target; // path with its links followed
    std::string folder;
    ScratchNames names;
    bool exists = true;
    struct stat old {};
    mode_t mode = 0; // the new file's permissions
};

Destination examine(const std::string& path, mode_t newFileMode) {
    Destination d;
    d.target = resolveTarget(path);
    d.folder = folderOf(d.target);
    const auto slash = d.target.rfind('/');
    d.names =
        scratchNames(d.folder, slash == std::string::npos ? d.target : d.target.substr(slash + 1));

    // The new file takes the old one's permissions, or the usual ones for a new file.
    d.mode = newFileMode & 07777;
    d.mode &= ~currentUmask();

    if (::stat(d.target.c_str(), &d.old) != 0) {
        if (errno != ENOENT)
            fail(path, errno);
        d.exists = false;
    }
    if (d.exists) {
        if (S_ISDIR(d.old.st_mode))
            fail(path, EISDIR);
        // Renaming over a device or a pipe would put a regular file in its place (as root, even
        // over /dev/null), so only regular files are ever replaced.
        if (!S_ISREG(d.old.st_mode))
            throw FileError("Cannot save \"" + path + "\": it is not a regular file");
        // The rename needs only a writable folder, which would let a save go through a
        // read-only file; ask the question the file's own permissions answer.
        if (::faccessat(AT_FDCWD, d.target.c_str(), W_OK, AT_EACCESS) != 0)
            fail(path, errno);
        d.mode = d.old.st_mode & 07777;
    }
    removeStale(d.folder, d.names.temp);
    return d;
}

} // namespace

void writeFileAtomic(const std::string& path, std::string_view data, const WriteFunction& write,
                     mode_t newFileMode) {
    const Destination d = examine(path, newFileMode);
    if (d.exists && d.old.st_nlink > 1)
        rewriteInPlace(path, d.target, d.folder, d.names.backup, data, write);
    else
        replaceByRename(path, d.target, d.folder, d.names.temp, d.exists ? &d.old : nullptr, d.mode,
                        data, write);
    // A backup that a save killed half-way left is kept: until the user has looked, it may be
    // the only whole copy of the file (interruptedSaveCopies finds it).
}

struct PendingFile::Parts {
    std::string path;
    Destination destination;
    ScratchFile temp;
    Parts(const std::string& p, Destination d)
        : path(p), destination(std::move(d)), temp(destination.folder, destination.names.temp) {}
};

PendingFile::PendingFile(const std::string& path, mode_t newFileMode)
    : parts_(std::make_unique<Parts>(path, examine(path, newFileMode))) {
    if (const int err = parts_->temp.create())
        fail(path, err);
}

PendingFile::~PendingFile() = default;

int PendingFile::fd() const {
    return parts_->temp.fd();
}

void PendingFile::commit() {
    Parts& p = *parts_;
    const Destination& d = p.destination;
    if (!d.exists || d.old.st_nlink <= 1) {
        putInPlace(p.temp, p.path, d.target, d.folder, d.exists ? &d.old : nullptr, d.mode);
        return;
    }
    // A file with other names keeps its inode: its new contents are copied in behind a backup.
    std::string data;
    struct stat st {};
    if (::fstat(p.temp.fd(), &st) != 0)
        fail(p.path, errno);
    data.resize(static_cast<size_t>(st.st_size));
    if (::pread(p.temp.fd(), data.data(), data.size(), 0) != static_cast<ssize_t>(data.size()))
        fail(p.path, errno ? errno : EIO);
    rewriteInPlace(p.path, d.target, d.folder, d.names.backup, data, {});
}

void writeFreshFile(const std::string& path, std::string_view data, mode_t mode) {
    const std::string folder = folderOf(path);
    const auto slash = path.rfind('/');
    const ScratchNames names =
        scratchNames(folder, slash == std::string::npos ? path : path.substr(slash + 1));
    removeStale(folder, names.temp);
    replaceByRename(path, path, folder, names.temp, nullptr, mode & 07777, data, {});
}

std::vector<std::string> interruptedSaveCopies(const std::string& path) {
    std::string target;
    try {
        target = resolveTarget(path);
    } catch (const FileError&) {
        return {};
    }
    const std::string folder = folderOf(target);
    const auto slash = target.rfind('/');
    const std::string prefix =
        scratchNames(folder, slash == std::string::npos ? target : target.substr(slash + 1)).backup;
    std::vector<std::pair<long long, std::string>> found;
    forEachLeftover(folder, prefix, [&](int, const char* name, const struct stat& st) {
        found.emplace_back(static_cast<long long>(st.st_mtime), folder + "/" + name);
    });
    std::sort(found.begin(), found.end(), std::greater<>());
    std::vector<std::string> paths;
    for (auto& f : found)
        paths.push_back(std::move(f.second));
    return paths;
}

} // namespace tess
