#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace tess {

// Reads a whole file into memory. Throws FileError with the system's description, or when the
// file holds more than maxBytes.
std::string readWholeFile(const std::string& path,
                          size_t maxBytes = std::numeric_limits<size_t>::max());

// The low-level write used by writeFileAtomic; tests replace it with one that fails part-way.
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Replaces the contents of the file at path by data; a failed save leaves the old contents.
// - Only a regular file the user may write is replaced (root may write as editors allow); a
//   folder, device, pipe or read-only file is refused and left untouched. A symbolic link is
//   followed and stays a link.
// - The data goes to a temporary file in the same folder, every write is checked, the file and
//   the folder are flushed to disk, and the temporary is renamed over the target, so even a
//   crash leaves the old file or the new one. It keeps the old file's permissions and, where
//   the system allows, its owner and group; a new file gets 0666 less the umask.
// - A file with several hard links keeps its inode, so every name sees the new contents: it is
//   rewritten in place behind a complete, flushed backup copy beside it, which restores the old
//   contents if the write fails. (A crash mid-write leaves that backup as the old contents.)
// - Temporary and backup names (".NAME.tsl-tmp-XXXXXX", ".NAME.tsl-bak-XXXXXX", NAME shortened
//   when the file system's name limit requires) always fit. Where the file system allows, the
//   temporary has no name until it is complete. No scratch file outlives a save that returns or
//   throws, except a backup that could not be written back, which the error then names. A
//   temporary a killed save left is removed by the next save of the same target; a backup it
//   left is kept (see interruptedSaveCopies).
// On failure FileError says `Cannot save "path": <reason>`.
// A file that did not exist yet gets newFileMode less the umask.
void writeFileAtomic(const std::string& path, std::string_view data,
                     const WriteFunction& write = {}, mode_t newFileMode = 0666);

// A new file on its way to replacing the one at path, for a writer that makes its data as it
// goes: written through fd(), and put in place by commit() as writeFileAtomic puts its data,
// with the same refusals (made at once) and the same failure messages. Dropped, leaving
// path untouched, unless committed.
class PendingFile {
public:
    explicit PendingFile(const std::string& path, mode_t newFileMode = 0666);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    int fd() const;
    void commit();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Puts data at path as a new file of the user's own with exactly the given mode, made by this
// call, complete and flushed before it is renamed into place. Whatever held the name (a link,
// someone else's file, a file with other links) is replaced as a name, never written through,
// so a file planted there can neither redirect the data nor read it. On failure FileError says
// `Cannot save "path": <reason>`, and whatever was at path is untouched.
void writeFreshFile(const std::string& path, std::string_view data, mode_t mode);

// The backups of a file's old contents that saves killed while rewriting it in place left
// beside it, newest first. They are never removed by the program: after such a kill the file
// itself may be cut short, and a backup the only whole copy.
std::vector<std::string> interruptedSaveCopies(const std::string& path);

} // namespace tess
