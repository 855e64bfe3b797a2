// What a walk must do, derived from the order in which the file system lists
// each folder: the entries of one folder, and the events of a whole walk.
#pragma once

#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/DirectoryListing.h"

namespace testing_support {

// The names of a folder's entries in the order the file system gives them.
inline std::vector<std::string> EntryOrder(const std::string& folder)
{
    platform::DirectoryListing listing;
    listing.Read(folder, nullptr);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < listing.Count(); ++i) names.emplace_back(listing.Name(i));
    return names;
}

// Appends the events (as Recorder writes them) of a recursive walk of
// `folder` (ending in "/") for "*.exe": each folder's entries in listing
// order, subfolders depth first, folders beginning with "." left out.
inline void AppendExpectedEvents(const std::string& folder, std::vector<std::string>& events, int& found)
{
    for (const std::string& name : EntryOrder(folder)) {
        const std::string path = folder + name;
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            if (name.front() == '.') continue;
            events.push_back("PathChange " + path + "/");
            AppendExpectedEvents(path + "/", events, found);
        } else if (name.ends_with(".exe")) {
            events.push_back("Progress " + path + " " + std::to_string(++found));
        }
    }
}

} // namespace testing_support
