// Hands a file to the application the desktop associates with its type.
#pragma once

#include <string>

namespace desktop {

class FileHandOff {
public:
    virtual ~FileHandOff() = default;
    // Asks the desktop to open the file; whether it could is not reported.
    virtual void OpenWithAssociatedApplication(const std::string& filePath) = 0;
};

// QDesktopServices::openUrl with the file's URL.
class QtFileHandOff final : public FileHandOff {
public:
    void OpenWithAssociatedApplication(const std::string& filePath) override;
};

} // namespace desktop
