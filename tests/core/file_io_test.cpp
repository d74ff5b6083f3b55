#include "core/file_error.h"
#include "core/file_io.h"
#include "core/qd3_file.h"
#include "core/save_command.h"

#include "support/faults.h"
#include "support/test.h"

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

// A sink that writes half of what it is given and then dies as under `kill -9`.
ssize_t halfThenKilled(int fd, const void* data, size_t size) {
    const ssize_t n = ::write(fd, data, size / 2);
    ::raise(SIGKILL);
    return n;
}

// What a name holds: its kind, permissions, links, owner when not the user, and contents (of a
// long file its size and the start of its first line).
std::string entry(const std::string& path, const std::string& shown) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return shown + ": missing\n";
    if (S_ISLNK(st.st_mode))
        return shown + " -> " + fs::read_symlink(path).string() + "\n";
    const bool file = S_ISREG(st.st_mode);
    // The kinds by the type bits of the mode: pipe, character device, folder, regular file.
    static const char* const kinds[] = {"", "pipe", "device", "", "folder", "", "", "", "file"};
    char head[64];
    std::snprintf(head, sizeof head, ": %s %04o x%d", kinds[(st.st_mode >> 12) % 9],
                  st.st_mode & 07777, static_cast<int>(st.st_nlink));
    const std::string bytes = file ? readBytes(path) : "";
    return shown + head +
           (st.st_uid != ::geteuid() || st.st_gid != ::getegid()
                ? " owner " + std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid)
                : "") +
           (!file               ? ""
            : bytes.size() > 40 ? " " + std::to_string(bytes.size()) + " bytes: " +
                                      bytes.substr(0, std::min<size_t>(bytes.find('\r'), 40))
                                : " '" + escaped(bytes) + "'") +
           "\n";
}

std::string listing(const std::string& folder, const std::string& shown) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    std::string text;
    for (const std::string& name : names)
        text += entry(folder + "/" + name, shown + name);
    return text;
}

std::string lines(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& line : texts)
        text += line + "\n";
    return text;
}

std::string offered(const RecoveryCopies& found) {
    return "offered: " + found.offered.value_or("none") + "\n" + lines(found.refused);
}

// A save killed half-way: the child ends with the signal, else 1, or 2 when the save failed.
int killedSave(const std::string& path, const std::string& data) {
    return failureOf([&] { writeFileAtomic(path, data, halfThenKilled); }).empty() ? 1 : 2;
}

// Answers the save command from the transcript and notes what it was asked and told.
struct ScriptedPrompts : SavePrompts {
    Args answers;
    size_t next = 0;
    std::string said;
    std::string answer(const std::string& asked) {
        said += "asked: " + asked + "\n";
        return next < answers.size() ? answers[next++] : "cancel";
    }
    bool saveSelectedOnly() override { return answer("selection only?") == "yes"; }
    std::optional<std::string> saveAs(const std::string& proposed) override {
        const std::string given = answer(proposed);
        return given == "cancel" ? std::nullopt : std::optional(given);
    }
    void tell(const std::string& message) override { said += "told: " + escaped(message) + "\n"; }
};

} // namespace

// Saves, failed and killed saves, refusals, the save command and recovery copies, run in turn in
// one folder (as root and, with "nobody", as an unprivileged user), remake the transcript with
// what each says and what the folder then holds. Where root's powers are missing, the output
// recorded under a "root" command stands.
TEST(Files, Transcript) {
    TempDir dir;
    const std::string tmp = dir.path().string();
    auto path = [&](const std::string& name) {
        return name.starts_with("/") ? name : tmp + (name == "." ? "" : "/" + name);
    };
    // Two people, one hidden: a recovery copy caught in a selection-only write is still whole.
    Dataset ds = DatasetBuilder().person("Shown", 1800, 1850).person("Hidden", 1810, 1860).build();
    ds.people[1].selected = 0;
    ds.numSelPeople = 1;
    ds.saveSelectedOnly = boolTrue;
    Dataset scratch;
    std::vector<int> held;
    const mode_t mask = ::umask(022);
    Args a;
    std::string p, said;
    auto sys = [&](int result) { said = result ? std::string(std::strerror(errno)) + "\n" : ""; };
    const std::map<std::string, std::function<void()>> commands = {
        {"put", [&] { writeBytes(p, a[2]); }},
        {"mkdir", [&] { fs::create_directory(p); }},
        {"symlink", [&] { fs::create_symlink(a[1], path(a[2])); }},
        {"link", [&] { fs::create_hard_link(p, path(a[2])); }},
        {"pipe", [&] { sys(::mkfifo(p.c_str(), 0666)); }},
        {"device", [&] { sys(::mknod(p.c_str(), S_IFCHR | 0666, ::makedev(1, 3))); }},
        {"chmod", [&] { sys(::chmod(p.c_str(), std::stoi(a[2], nullptr, 8) & 07777)); }},
        {"chown", [&] { sys(::chown(p.c_str(), std::stoul(a[2]), std::stoul(a[2]))); }},
        {"age",
         [&] {
             fs::last_write_time(p, fs::last_write_time(p) - std::chrono::hours(std::stoi(a[2])));
         }},
        {"clear", [&] { fs::remove_all(p), fs::create_directory(p); }},
        {"hold", [&] { sys(::flock(held.emplace_back(::open(p.c_str(), O_RDONLY)), LOCK_EX)); }},
        {"save", [&] { writeFileAtomic(p, a[2]); }},
        {"read", [&] { readDataset(scratch, p); }},
        {"copies", [&] { said = lines(interruptedSaveCopies(p)); }},
        {"killed",
         [&] { said = std::to_string(inChild([&] { return killedSave(p, a[2]); })) + "\n"; }},
        // A write that fails after each number of bytes in turn: an outcome is shown when it
        // differs from the one before.
        {"cut",
         [&] {
             for (size_t n = 0; n < a[2].size(); ++n) {
                 const std::string outcome =
                     failureOf([&] { writeFileAtomic(p, a[2], failingAfter(n)); }) + "\n" +
                     listing(tmp, "");
                 said += outcome == a[0] ? "" : "after " + std::to_string(n) + " bytes: " + outcome;
                 a[0] = outcome;
             }
         }},
        {"recover", [&] { said = writeRecoveryCopy(scratch, path(a[2])) + "\n"; }},
        {"offered", [&] { said = offered(newerRecoveryCopies(p, path(a[2]))); }},
        {"unrecover", [&] { removeRecoveryCopies(p, path(a[2])); }},
        {"ls",
         [&] {
             said =
                 fs::is_directory(p) ? listing(p, a[1] == "." ? "" : a[1] + "/") : entry(p, a[1]);
         }},
        // The save command on the dataset named, in the state given, answered from the words
        // after it: "yes" or "no" to saving the selection alone, else "cancel" or a path.
        {"savecmd",
         [&] {
             scratch.modified = a[2].ends_with("changed");
             scratch.saveSelectedOnly = boolFalse;
             scratch.numSelPeople = 1 + (scratch.people[1].selected = a[2].starts_with("shown"));
             ScriptedPrompts prompts;
             for (size_t i = 3; i < a.size(); ++i)
                 prompts.answers.push_back(
                     a[i] == "yes" || a[i] == "no" || a[i] == "cancel" ? a[i] : path(a[i]));
             const SaveResult r = saveCommand(scratch, prompts);
             said = prompts.said + (r.datasetWritten ? "written" : "not written") +
                    (r.datasetWriteFailed ? ", failed" : "") +
                    (scratch.modified ? ", changes unsaved" : "") +
                    (scratch.saveSelectedOnly ? ", selection mark left; " : "; ") +
                    scratch.fileName + "\n";
         }},
    };
    std::function<std::string(const Args&)> run = [&](const Args& words) -> std::string {
        // Another user's output comes back through a file in the shared temporary folder.
        if (words[0] == "nobody") {
            const std::string back = tmp + ".said";
            const int status = asUnprivilegedUser([&] {
                const Args command(words.begin() + 1, words.end());
                return failureOf([&] { writeBytes(back, run(command)); }).empty() ? 0 : 1;
            });
            const std::string text =
                status ? "ended with " + std::to_string(status) + "\n" : readBytes(back);
            fs::remove(back);
            return text;
        }
        a = words;
        a.resize(std::max<size_t>(a.size(), 3));
        a[2] = unescaped(a[2]);
        p = path(a[1]);
        said.clear();
        scratch = ds;
        scratch.fileName = p;
        const std::string failure = failureOf(commands.at(a[0]));
        return said + failure + (failure.empty() ? "" : "\n");
    };
    const std::string got =
        replay("files/transcript.txt", "$ ", [&](const std::string& line, const std::string& was) {
            const Args words = splitWords(line);
            if (words[0] == "root" && ::geteuid() != 0)
                return was;
            std::string text =
                run(words[0] == "root" ? Args(words.begin() + 1, words.end()) : words);
            text = std::regex_replace(text, std::regex("(tsl-(tmp|bak)-)\\w{6}"), "$1XXXXXX");
            text =
                std::regex_replace(text, std::regex("\\.[0-9a-f]{8}\\.recovery"), ".HASH.recovery");
            return std::regex_replace(text, std::regex(tmp), "$$TMP");
        });
    ::umask(mask);
    for (const int fd : held)
        ::close(fd);
    expectGolden(got, "files/transcript.txt");
}
