#pragma once
#include <string>

// Moves one file to the recycle bin without any dialog. True only when the file has
// gone from its place into the bin. A file the bin cannot take (the shell would
// delete it for good) stays where it is, and so does a file whose exact name the
// shell cannot be given: the answer is false then.
bool RecycleFile(const std::wstring& path);
