#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <cstdlib>

namespace testing_support {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessaline-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string dataFile(const std::string& relative) {
    return std::string(TESSALINE_TEST_DATA) + "/" + relative;
}

std::vector<std::filesystem::path> dataFiles(const std::string& folder, const std::string& ending) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile(folder)))
        if (ending.empty() || entry.path().extension() == ending)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const bool quoted = line[i] == '\'';
        const size_t end = line.find(quoted ? '\'' : ' ', i + 1);
        words.push_back(line.substr(i + quoted, std::min(end, line.size()) - i - quoted));
        i = end == std::string::npos ? line.size() : end + 1;
    }
    return words;
}

void expectGolden(const std::string& text, const std::string& relative) {
    if (std::getenv("TESSALINE_UPDATE_GOLDEN"))
        writeBytes(dataFile(relative), text);
    EXPECT_EQ(text, readBytes(dataFile(relative))) << relative;
}

std::string replay(const std::string& relative, const std::string& prompt,
                   const std::function<std::string(const std::string&, const std::string&)>& run) {
    std::istringstream in(readBytes(dataFile(relative)));
    std::string got, command, recorded;
    bool pending = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("#") && !line.starts_with(prompt)) {
            recorded += line + "\n";
            continue;
        }
        got += (pending ? run(command, recorded) : "") + line + "\n";
        pending = line.starts_with(prompt);
        command = pending ? line.substr(prompt.size()) : "";
        recorded.clear();
    }
    return got + (pending ? run(command, recorded) : "");
}

std::string unescaped(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool escape = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size();
        bytes +=
            escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
        i += escape ? 3 : 0;
    }
    return bytes;
}

std::string escaped(const std::string& bytes) {
    std::string text;
    for (const unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        text += c == '\\'              ? "\\\\"
                : c < 0x20 || c > 0x7E ? hex
                                       : std::string(1, static_cast<char>(c));
    }
    return text;
}

} // namespace testing_support
