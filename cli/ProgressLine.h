// The progress line on a terminal: files found so far and the folder being
// searched, redrawn in place at most ten times a second and erased at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kMinimumInterval{100};

    // A disabled line writes nothing at all. The line is kept within width
    // columns (at least 20).
    ProgressLine(int fd, bool enabled, int width);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Redraws when the last drawing is at least kMinimumInterval old.
    void Update(std::int64_t filesFound, std::string_view folder, Clock::time_point now = Clock::now());
    // Erases the line if one was drawn.
    void Clear();

    // The text of one drawing, without the control sequences: the count, then
    // as much of the end of the folder as fits; control bytes shown as "?".
    static std::string Compose(std::int64_t filesFound, std::string_view folder, int width);

    // The terminal width of fd, or 80 when it cannot be asked.
    static int TerminalWidth(int fd);

private:
    void Emit(std::string_view text);

    int fd_;
    bool enabled_;
    int width_;
    bool drawn_ = false;
    Clock::time_point lastDrawn_{};
};

} // namespace cli
