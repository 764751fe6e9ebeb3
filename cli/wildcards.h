// File arguments with wildcards. A Windows shell hands "*.txt" to the
// program as it is, and its console programs look for the files
// themselves; elsewhere the shell has done so before the program starts.
#pragma once

#include <string>
#include <vector>

// On Windows, each argument whose last part holds '*' or '?' becomes the
// files it matches, folders and hidden or system files left out, in the
// order of a folder listing (by name, case ignored); one that matches
// nothing stays as it is, to fail as a missing file naming itself. Each
// match keeps the folder part of its pattern as it was written. "-" and
// names without wildcards, and everything on other systems, pass as they are.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments);
