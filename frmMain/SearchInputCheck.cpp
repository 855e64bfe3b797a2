// Checks of a search's start folder and filter, by what the walk would do
// with them: the start folder is opened as a folder, patterns are the
// ";"-separated pieces of the filter.
#include "frmMain/SearchInputCheck.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "VORN_STD_library/PathHelpers.h"
#include "platform/UniqueFd.h"

std::string StartFolderProblem(const std::string& typed, const std::string& startPath)
{
    const std::string folder = VORN_STD_library::NormalizeFolderPath(startPath);
    const std::string named = typed.empty() ? folder : typed;
    struct stat facts {};
    if (::stat(folder.c_str(), &facts) != 0) {
        const int cause = errno;
        if (cause == ENOENT || cause == ENOTDIR) {
            // "a/file/" fails with ENOTDIR; without the slash it may be a file.
            std::string bare = folder;
            while (bare.size() > 1 && bare.back() == '/') bare.pop_back();
            if (::stat(bare.c_str(), &facts) == 0 && !S_ISDIR(facts.st_mode))
                return named + " is a file, not a folder.";
            return "The folder " + named + " does not exist.";
        }
        return named + " cannot be read: " + std::strerror(cause) + ".";
    }
    if (!S_ISDIR(facts.st_mode)) return named + " is a file, not a folder.";
    const platform::UniqueFd opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened) return named + " cannot be read: " + std::strerror(errno) + ".";
    return {};
}

std::string FilterProblem(const std::string& filter)
{
    return filter.find_first_not_of(';') == std::string::npos ? "The filter is empty." : std::string();
}
