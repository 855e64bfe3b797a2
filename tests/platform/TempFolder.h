// A scratch folder for file-system tests, removed with everything in it
// (however deep) when the test ends, and small helpers to fill it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tests/platform/RemoveTree.h"

namespace testing_support {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumbrel-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern + "/";
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in "/".
    const std::string& path() const { return path_; }

    // Creates a file (and its folders) below the folder with `size` bytes.
    std::string File(const std::string& relative, std::size_t size = 0) const
    {
        const std::string full = path_ + relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream out(full, std::ios::binary);
        out << std::string(size, 'x');
        return full;
    }
    std::string Folder(const std::string& relative) const
    {
        const std::string full = path_ + relative;
        std::filesystem::create_directories(full);
        return full;
    }

private:
    std::string path_;
};

inline bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace testing_support
