#include "app/recovery_writer.h"

#include "core/file_error.h"
#include "core/save_command.h"

#include <algorithm>
#include <iostream>

namespace tess {

bool RecoveryWriter::start(std::string datasetPath, std::string text, std::string fallbackFolder) {
    if (busy_)
        return false;
    wait();
    busy_ = true;
    thread_ = std::thread([this, datasetPath = std::move(datasetPath), text = std::move(text),
                           fallbackFolder = std::move(fallbackFolder)] {
        try {
            writeRecoveryText(datasetPath, text, fallbackFolder);
        } catch (const FileError& e) {
            std::string why = e.description();
            std::replace(why.begin(), why.end(), '\n', ' ');
            std::cerr << "Tessaline: the recovery copy could not be written: " << why << std::endl;
        }
        busy_ = false;
    });
    return true;
}

void RecoveryWriter::wait() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace tess
