// The file named by -o. A regular file, or a name not yet taken, is written
// under a temporary name beside it and moved into place only when the whole
// output has been written, so a failed scan, a full disk or a signal leaves
// an existing file as it was. Anything else (a FIFO, a device such as
// /dev/null), and an existing file in a folder that does not let us create
// the temporary file, cannot be replaced and is written directly.
#pragma once

#include <memory>
#include <string>

#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

namespace cli {

class OutputFile {
public:
    explicit OutputFile(const std::string& path);

    // Whether the output could be opened; Error() tells why not.
    bool Ok() const { return Fd() >= 0; }
    int Error() const { return error_; }
    int Fd() const { return temporary_ ? temporary_->Fd() : direct_.Get(); }

    // Puts the finished output in place (or closes the direct output). False
    // with Error() set when that fails; an existing file is then untouched.
    bool Finish();

private:
    std::unique_ptr<platform::TemporaryFile> temporary_;
    platform::UniqueFd direct_;
    int error_ = 0;
};

} // namespace cli
