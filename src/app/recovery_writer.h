#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace tess {

// Writes recovery copies on a thread of their own, so that a large dataset's write never holds
// up the window: the caller hands over the file text, made in a few milliseconds, and the
// writing (with its flush to disk) goes on in the background. One write at a time; a failure
// is one line on standard error.
class RecoveryWriter {
public:
    RecoveryWriter() = default;
    ~RecoveryWriter() { wait(); }
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Starts writing; false, and nothing started, while the last write is still going.
    bool start(std::string datasetPath, std::string text, std::string fallbackFolder);
    // Returns when no write is going, so that a recovery file can be removed or replaced.
    void wait();
    bool busy() const { return busy_; }

private:
    std::thread thread_;
    std::atomic<bool> busy_{false};
};

} // namespace tess
