// Where a format writer puts its bytes: a descriptor, a file being saved, or
// memory in a test. Every writer checks Failed() rather than each write, so a
// sink keeps its first failure and ignores what comes after it.
#pragma once

#include <string_view>

namespace grid::formats {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Appends the bytes; does nothing once the sink has failed.
    virtual void Write(std::string_view bytes) = 0;
    // Records a failure found outside the sink (errno value); the first one
    // is kept.
    virtual void Fail(int error) = 0;
    virtual bool Failed() const = 0;
};

} // namespace grid::formats
