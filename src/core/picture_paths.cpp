#include "core/picture_paths.h"

#include "core/merge.h"
#include "core/text_encoding.h"

#include <filesystem>

namespace tess {

namespace fs = std::filesystem;

namespace {

// The folder of a dataset's file, made absolute and normal; empty without a file.
fs::path folderOf(const std::string& datasetPath) {
    if (datasetPath.empty())
        return {};
    std::error_code ec;
    const fs::path full = fs::absolute(fs::path(datasetPath), ec);
    return ec ? fs::path() : full.lexically_normal().parent_path();
}

bool present(std::string_view name) {
    return name.find_first_not_of(' ') != std::string_view::npos;
}

} // namespace

std::vector<std::string> pictureCandidates(std::string_view name, const std::string& datasetPath,
                                           const std::string& programFolder) {
    if (!present(name))
        return {};
    const fs::path p{std::string(name)};
    if (p.is_absolute())
        return {p.string()};
    std::vector<std::string> out;
    if (const fs::path folder = folderOf(datasetPath); !folder.empty())
        out.push_back((folder / p).string());
    out.push_back((fs::path(programFolder) / p).string());
    return out;
}

std::string pictureNameFor(const std::string& chosenPath, const std::string& datasetPath) {
    const fs::path chosen = fs::path(chosenPath).lexically_normal();
    const fs::path folder = folderOf(datasetPath);
    if (folder.empty())
        return chosen.string();
    const fs::path relative = chosen.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..")
        return chosen.string();
    return relative.string();
}

bool rebasePicturePaths(Dataset& ds, const std::string& fromPath, const std::string& toPath) {
    const fs::path from = folderOf(fromPath);
    if (from.empty() || from == folderOf(toPath))
        return false;
    std::vector<std::pair<std::string*, std::string>> renamed;
    auto visit = [&](std::string& stored) {
        const std::string name = toUtf8(stored, ds.encoding);
        if (!present(name))
            return;
        const fs::path p(name);
        if (p.is_absolute())
            return;
        const fs::path old = from / p;
        std::error_code ec;
        // A bare name found nowhere beside the dataset is one of the program folder's.
        if (!p.has_parent_path() && !fs::exists(old, ec))
            return;
        std::string now = pictureNameFor(old.string(), toPath);
        if (now != name)
            renamed.emplace_back(&stored, std::move(now));
    };
    for (PersonRecord& r : ds.people)
        visit(r.imgName);
    for (EventRecord& r : ds.events)
        visit(r.imgName);
    if (renamed.empty())
        return false;
    bool fits = true;
    for (const auto& [stored, now] : renamed)
        fits = fits && (ds.encoding == TextEncoding::utf8 || utf8ToWindows1252Exactly(now));
    if (!fits) {
        // The pointers stay valid: the conversion rewrites the texts in place.
        convertToUtf8(ds);
    }
    for (auto& [stored, now] : renamed)
        *stored = fromUtf8(now, ds.encoding);
    return true;
}

} // namespace tess
