// Each file's small icon for the result table, found through the process-wide
// icon source (platform/FileIcons: a PE image's own icon group, else the
// desktop theme's icon for the file's type) the first time a row showing the
// file is painted, and kept per file path. Bounded: past kMaxEntries icons the
// cache starts over, so a long session never grows it without limit.
#pragma once

#include <QIcon>

#include <cstddef>
#include <string>
#include <unordered_map>

namespace grid {

class FileIconCache {
public:
    static constexpr std::size_t kMaxEntries = 4096;

    // The file's icon; a null icon when the source has none.
    QIcon IconFor(const std::string& path);
    // Forgets every icon (files may have changed since they were read).
    void Clear() { icons_.clear(); }
    std::size_t Size() const { return icons_.size(); }

private:
    std::unordered_map<std::string, QIcon> icons_;
};

} // namespace grid
