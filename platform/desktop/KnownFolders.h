// Folders the program writes to: its own folder and the user's documents.
// Paths are file-system bytes, without a trailing "/" (except the root).
#pragma once

#include <string>

namespace desktop {

// The folder holding the running executable.
std::string ProgramFolder();

// The user's documents folder; empty when the desktop names none.
std::string DocumentsFolder();

} // namespace desktop
