// A cDisk listener that records every event as one line of text and can
// act on the nth Progress or PathChange.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cDisk/cDisk.h"

namespace testing_support {

class Recorder : public cDiskEvents {
public:
    std::vector<std::string> events;
    int progressCount = 0;
    int pathChangeCount = 0;
    int abortCount = 0;
    int unreadableCount = 0;
    // Called with the 1-based number of the event and its Cancel flag.
    std::function<void(int, bool&)> onProgress;
    std::function<void(int, std::string&)> onPathChange;

    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound, double&,
                  bool& Cancel) override
    {
        ++progressCount;
        events.push_back("Progress " + CurrentPath + CurrentFile + " " + std::to_string(FileFound));
        if (onProgress) onProgress(progressCount, Cancel);
    }
    void PathChange(std::string& CurrentPath) override
    {
        ++pathChangeCount;
        events.push_back("PathChange " + CurrentPath);
        if (onPathChange) onPathChange(pathChangeCount, CurrentPath);
    }
    void OnAbortSearch() override { ++abortCount; }
    void FolderUnreadable(const std::string& FolderPath, int ErrorNumber) override
    {
        ++unreadableCount;
        events.push_back("Unreadable " + FolderPath + " " + std::to_string(ErrorNumber));
    }
};

} // namespace testing_support
