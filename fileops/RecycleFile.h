#pragma once
#include <string>

#include "fileops/LeftFiles.h"

// Moves one file to the recycle bin without any dialog. Done only when the file has
// gone from its place and the bin is seen to hold it. A file the bin cannot take (the
// shell would delete it for good) stays where it is, and so does a file whose exact
// name the shell cannot be given; the outcome says why. Where the outcome is not
// certain, the file's data stays under a spare name beside it, and the outcome names
// that name.
SOutcome RecycleFile(const std::wstring& path);
