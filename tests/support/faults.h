#pragma once

#include "core/file_io.h"

#include <cerrno>
#include <functional>
#include <memory>

#include <grp.h> // setgroups
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// A sink that accepts `budget` bytes in all and then reports a full disk.
inline tess::WriteFunction failingAfter(size_t budget) {
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

// Runs body in a child process; returns its exit status, or 128 + the signal that ended it.
inline int inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs body in a child process as an unprivileged user (when started as root): its exit status,
// or 77 when it cannot become one.
inline int asUnprivilegedUser(const std::function<int()>& body) {
    return inChild([&] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 77;
        return body();
    });
}

} // namespace testing_support
