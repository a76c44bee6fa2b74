// A folder that is a link to another one. Wine cannot make reparse points
// through the API, but it shows a Unix symbolic link as one; the link is made
// with the host's own "ln", which Wine starts like any program.
#pragma once
#include <string>

// False when not running on Wine or the link could not be made.
bool MakeFolderLink(const std::string& link, const std::string& target);
bool IsFolderLink(const std::string& path);
// Removes the link itself, never what it points to.
void RemoveFolderLink(const std::string& link);
