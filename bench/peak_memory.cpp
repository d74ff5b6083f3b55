#include "peak_memory.h"

#include "core/file_io.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace bench_support {

double peakMegabytesOfChild(const std::vector<std::string>& args) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string out = (std::filesystem::temp_directory_path() /
                             ("tessaline-peak-" + std::to_string(::getpid()) + ".txt"))
                                .string();
    std::vector<std::string> all = {self, "--peak-memory"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back(out);
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return 0;
    int status = 0;
    waitpid(pid, &status, 0);
    double megabytes = 0;
    std::ifstream(out) >> megabytes;
    std::filesystem::remove(out);
    return megabytes;
}

void writePeakMegabytes(const std::string& path) {
    std::ifstream status("/proc/self/status");
    double kb = 0;
    for (std::string key; status >> key;)
        if (key == "VmHWM:") {
            status >> kb;
            break;
        }
    std::ofstream(path) << kb / 1024.0 << '\n';
}

size_t readAndCountLines(const std::string& path) {
    const std::string data = tess::readWholeFile(path);
    size_t lines = 0;
    const char* p = data.data();
    const char* end = p + data.size();
    while (const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
        ++lines;
        p = static_cast<const char*>(nl) + 1;
    }
    return lines;
}

} // namespace bench_support
