#pragma once
#include <string>
#include <vector>

// The spare names that a recycling makes beside a file, written down while they
// exist: a pass cut short (the process killed, the power gone) leaves the file's data
// only under such a name, and the next start gives the file its name back.
// The journal is a small UTF-8 file, one "spare TAB original" line per name.
class CSpareJournal {
public:
    // A spare name for `original` is about to be made.
    static void Note(const std::wstring& original, const std::wstring& spare);
    // The spare name is gone again, or was dealt with.
    static void Done(const std::wstring& spare);

    // What the start-up found of the names a cut pass left.
    struct SRecovery {
        int restored = 0;                  // files that got their own name back
        std::vector<std::wstring> left;    // spare names that had to stay (shown to the user)
    };
    // Deals with every name written down: a file whose own name is free gets it
    // back; a spare name beside its own file goes; anything else stays written
    // down and is reported.
    static SRecovery Recover();

    // <program dir>config\SpareNames.txt; tests point it elsewhere (empty: default).
    static void SetPathForTests(const std::wstring& path);
};

// Removes a spare name (a "\\?\" form is fine), keeping the file's read-only
// attribute as it was: attributes belong to the file, which lives on under its
// other name.
bool DropSpareName(const std::wstring& spare);
