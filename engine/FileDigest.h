#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <windows.h>

// MD5 of a whole file as 32 lower-case hex digits. The file is opened with write
// sharing denied, so a file that another handle has open for writing fails.
// Both throw CFileError when the file cannot be opened or read.
// `eachBlock`, when given, runs after every block read: a stop check may throw from
// it, and the file is closed on the way out.
// `knownSize`, when given, is the file's size as just listed: it saves calls for a
// small file, and the whole file is still read whatever its size turns out to be.
constexpr uint64_t kUnknownSize = ~0ull;
std::wstring DigestOfFile(const std::wstring& path, const std::function<void()>& eachBlock = nullptr,
                          uint64_t knownSize = kUnknownSize);
class CDigestStore;
// The serial number of the volume `path` lies on, asked once per volume.
std::optional<uint32_t> VolumeSerialOf(const std::wstring& path);
// DigestOfFile that first asks `store` by the open file's identity, size and
// last-write time, and keeps there what it reads.
std::wstring DigestOfFileStored(const std::wstring& path, CDigestStore& store,
                                const std::function<void()>& eachBlock = nullptr, uint64_t knownSize = kUnknownSize);
// How many files DigestOfFile has opened in this process: what tests count to know
// a file was not read again.
unsigned DigestOpenCount();
// Digests from the handle's current position to the end of the file.
std::wstring DigestOfStream(HANDLE file, const std::function<void()>& eachBlock = nullptr);

// A content search reads a file whole only when another file of its size agrees with
// it on a few blocks first: these say which files those are.
//
// Up to kStagedFrom bytes the file is digested at once: under Wine a small file's cost
// is the open, read and close round trips, not its bytes, so reading it twice (blocks,
// then whole) would cost twice for the copies that are the common case. Above it the
// first kQuickBlock bytes are compared, which tell most different files apart (their
// headers, names inside, first frames); above kTailFrom also the last kQuickBlock,
// where files of one format and size that share a header differ (recordings, disk
// images, raw photos of one camera).
constexpr uint64_t kStagedFrom = 64 * 1024;
constexpr uint64_t kQuickBlock = 16 * 1024;
constexpr uint64_t kTailFrom = 1024 * 1024;
// A number of the blocks compared (not their bytes): equal for files with the same
// blocks; two files whose numbers differ differ in content. Throws CFileError as
// DigestOfFile does.
uint64_t QuickSignatureOfFile(const std::wstring& path, uint64_t size);
// How many files QuickSignatureOfFile has opened in this process.
unsigned QuickOpenCount();
