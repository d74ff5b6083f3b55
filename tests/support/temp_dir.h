#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
std::string dataFile(const std::string& relative);
// The files of a folder of the test data with the given ending (all when ""), in name order.
std::vector<std::filesystem::path> dataFiles(const std::string& folder,
                                             const std::string& ending = "");

// The message of the error f throws (a file or a printer failing), or "" when it throws none.
std::string failureOf(const std::function<void()>& f);
// A line's words: blanks part them, and '...' holds blanks or nothing.
std::vector<std::string> splitWords(const std::string& line);
// Compares text with a file under the test data; with TESSALINE_UPDATE_GOLDEN set, writes it
// there instead, for a change of output that was meant.
void expectGolden(const std::string& text, const std::string& relative);
// Runs each command of a transcript under the test data (a line starting with prompt) and makes
// the transcript again: its "#" lines as they are, each command followed by what run makes of it
// and of the output recorded under it.
std::string replay(const std::string& relative, const std::string& prompt,
                   const std::function<std::string(const std::string&, const std::string&)>& run);
// "\xHH" in a test's text stands for that byte; the bytes outside printable ASCII are shown so
// (and a backslash doubled).
std::string unescaped(const std::string& text);
std::string escaped(const std::string& bytes);

} // namespace testing_support
