// What is wrong with a search's start folder or filter before the walk
// begins, as a sentence for the status line; empty when nothing is. A start
// folder that is missing, a file, or unreadable would otherwise end in "No
// files found.", reporting a mistake as a plain result.
#pragma once

#include <string>

// `typed` is the path box's text as the user typed it (named in the
// message); `startPath` its encoded bytes, which the engine normalises.
std::string StartFolderProblem(const std::string& typed, const std::string& startPath);

// "The filter is empty." when the filter names no pattern at all.
std::string FilterProblem(const std::string& filter);
