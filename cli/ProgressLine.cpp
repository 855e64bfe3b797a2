// Drawing of the terminal progress line. Folder names come from the file
// system and may hold any bytes, so control bytes never reach the terminal.
#include "cli/ProgressLine.h"
#include "platform/Utf8Text.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>

namespace cli {

ProgressLine::ProgressLine(int fd, bool enabled, int width)
    : fd_(fd), enabled_(enabled), width_(width < 20 ? 20 : width)
{
}

ProgressLine::~ProgressLine()
{
    Clear();
}

void ProgressLine::Update(std::int64_t filesFound, std::string_view folder, Clock::time_point now)
{
    if (!enabled_) return;
    if (drawn_ && now - lastDrawn_ < kMinimumInterval) return;
    lastDrawn_ = now;
    drawn_ = true;
    std::string line(1, '\r');
    line.append(Compose(filesFound, folder, width_));
    line.append("\x1b[K");
    Emit(line);
}

void ProgressLine::Clear()
{
    if (!enabled_ || !drawn_) return;
    drawn_ = false;
    Emit("\r\x1b[K");
}

std::string ProgressLine::Compose(std::int64_t filesFound, std::string_view folder, int width)
{
    std::string text = std::to_string(filesFound) + " found  ";
    // One column is left free so the cursor never wraps.
    const std::size_t room = static_cast<std::size_t>(width - 1);
    if (text.size() >= room) return text.substr(0, room);

    std::size_t start = 0;
    const std::size_t available = room - text.size();
    if (folder.size() > available) {
        // Keep the end of the folder, starting on a character boundary.
        start = folder.size() - available + 3;
        while (start < folder.size() && (static_cast<unsigned char>(folder[start]) & 0xC0) == 0x80) ++start;
        text.append("...");
    }
    // Control characters (C0, DEL, the C1 range) and bytes that are not
    // UTF-8 show as "?": a terminal may act on any of them.
    std::size_t i = start;
    while (i < folder.size()) {
        const auto c = static_cast<unsigned char>(folder[i]);
        if (c < 0x80) {
            text.push_back(c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c));
            ++i;
            continue;
        }
        const std::size_t length = platform::WellFormedUtf8Length(folder.substr(i));
        if (length == 0 || platform::IsC1Control(folder.substr(i, length))) {
            text.push_back('?');
            i += length == 0 ? 1 : length;
        } else {
            text.append(folder.substr(i, length));
            i += length;
        }
    }
    return text;
}

int ProgressLine::TerminalWidth(int fd)
{
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void ProgressLine::Emit(std::string_view text)
{
    // The progress line is a courtesy: a failing terminal write is not an
    // error of the scan.
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace cli
