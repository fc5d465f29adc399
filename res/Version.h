// The program's version, in the one place the version resource, the window caption,
// the update check, the manifest and the release archive take it from. Plain
// defines: windres reads this file too.
#pragma once

#define TWINSEEK_VERSION_MAJOR 1
#define TWINSEEK_VERSION_MINOR 10
// "1.10-20121012": what the caption shows and the update check compares.
#define TWINSEEK_VERSION_TEXT "1.10-20121012"
// The four-part form of the file version.
#define TWINSEEK_FILE_VERSION_TEXT "1.10.0.0"
