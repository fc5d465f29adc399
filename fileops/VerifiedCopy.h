#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "fileops/LeftFiles.h"

// Copies and moves that never leave a half-written file under a real name and never
// give up a source before its copy is known to be whole. The copy is written under
// a partial name in the target folder, flushed, read back and compared with the
// source, and only then renamed to its real name (replacing a file there only now,
// with `replace`). A close (`closing` set) during the copy abandons it: the partial
// file goes, the source stays.

// A copy of `source` at `target`.
SOutcome CopyVerified(const std::wstring& source, const std::wstring& target, bool replace,
                      const std::atomic<int32_t>& closing);
// A move: a rename where source and target share a volume; elsewhere the verified
// copy, then the source is deleted through a handle held since before the copy (so
// nobody changed it meanwhile). A source that cannot be deleted makes the move fail,
// and the copy goes again.
SOutcome MoveVerified(const std::wstring& source, const std::wstring& target, bool replace,
                      const std::atomic<int32_t>& closing);
