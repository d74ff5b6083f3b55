#include "core/file_io.h"

#include "core/file_error.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
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

} // namespace

std::string readWholeFile(const std::string& path) {
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
    // A regular file is read straight into a buffer of its size; anything else (or a file
    // that grows meanwhile) in chunks.
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        data.resize(static_cast<size_t>(st.st_size));
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
    }
    data.resize(used);
    return data;
}

void writeFileAtomic(const std::string& path, std::string_view data, const WriteFunction& write) {
    const std::string target = resolveTarget(path);
    const std::string folder = folderOf(target);
    const auto slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    // The new file takes the old one's permissions, or the usual ones for a new file.
    mode_t mode = 0666;
    {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                throw FileError(systemError("Cannot save", path, EISDIR));
            mode = st.st_mode & 07777;
        }
    }

    std::string temp = folder + "/." + base + ".XXXXXX";
    Fd f;
    f.fd = ::mkstemp(temp.data());
    if (f.fd < 0)
        throw FileError(systemError("Cannot save", path, errno));

    auto failWith = [&](int err) {
        ::close(f.release());
        ::unlink(temp.c_str());
        throw FileError(systemError("Cannot save", path, err));
    };

    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = write ? write(f.fd, p, left) : ::write(f.fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failWith(errno);
        }
        if (n == 0)
            failWith(ENOSPC);
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fchmod(f.fd, mode) != 0)
        failWith(errno);
    if (::fsync(f.fd) != 0)
        failWith(errno);
    if (::close(f.release()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw FileError(systemError("Cannot save", path, err));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw FileError(systemError("Cannot save", path, err));
    }
    // Make the rename itself durable; a failure here no longer endangers either file.
    Fd dir;
    dir.fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0)
        (void)::fsync(dir.fd);
}

} // namespace tess
