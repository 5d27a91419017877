#pragma once
// Replacing a file's whole content, never blind: the content goes to a file
// beside it first, which then takes the old file's place in one step and its
// permission bits. A symbolic link is written through to its target, so the
// link stays a link. A file this user may not write is left alone, although
// the folder alone would allow the replacement.
#include <string>
#include <string_view>

// False when the file was not replaced: the old file is then as it was and
// nothing is left beside it. A missing file is created.
bool ReplaceFileContent(const std::string& path, std::string_view content);
