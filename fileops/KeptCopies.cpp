#include "fileops/KeptCopies.h"

#include "engine/FileInfoMap.h"
#include "engine/FileStatus.h"
#include "engine/PassedOver.h"

bool SameFileOnDisk(const SFileId& a, uint64_t sizeA, const std::wstring& timeA, const SFileId& b, uint64_t sizeB,
                    const std::wstring& timeB) {
    if (a.index != b.index) return false;
    return a.volume == b.volume || (sizeA == sizeB && timeA == timeB);
}

void CKeptCopies::Reset() { kept_.clear(); }

void CKeptCopies::Keep(const std::wstring& name, const std::wstring& path) {
    if (IsInSystemFolder(path)) return;
    SKept kept;
    kept.name = name;
    kept.path = path;
    kept_.push_back(std::move(kept));
}

bool CKeptCopies::StillThere(SKept& kept, const std::wstring& groupKey) {
    uint64_t size = 0;
    std::wstring time;
    if (kept.checked && kept.key == groupKey) {
        const std::optional<SFileId> id = FileIdentityOf(kept.path);
        if (id && *id == kept.id && ReadFileStatus(kept.path, size, time) && size == kept.size && time == kept.time)
            return true;
        kept.checked = false;
    }
    // Identity and status first, so that a file replaced between the two reads is
    // caught by the second look at its identity.
    const std::optional<SFileId> before = FileIdentityOf(kept.path);
    if (!before || !ReadFileStatus(kept.path, size, time)) return false;
    const std::optional<std::wstring> key = map_.MemberKeyOnDisk(kept.name, kept.path);
    if (!key || *key != groupKey) return false;
    const std::optional<SFileId> after = FileIdentityOf(kept.path);
    if (!after || *after != *before) return false;
    kept.checked = true;
    kept.key = groupKey;
    kept.id = *after;
    kept.size = size;
    kept.time = time;
    return true;
}

EKeptCopy CKeptCopies::CopyBesides(const std::wstring& groupKey, const SGivenFile& given,
                                   const std::function<ESameBytes(const std::wstring& keptPath)>& sameBytes) {
    EKeptCopy found = EKeptCopy::Gone;
    for (SKept& kept : kept_) {
        if (!StillThere(kept, groupKey) || SameFileOnDisk(kept.id, kept.size, kept.time, given.id, given.size, given.time))
            continue;
        if (!sameBytes) return EKeptCopy::Found;
        switch (sameBytes(kept.path)) {
        case ESameBytes::Same: return EKeptCopy::Found;
        case ESameBytes::Different: found = EKeptCopy::Differs; break;
        case ESameBytes::Unreadable:
            if (found == EKeptCopy::Gone) found = EKeptCopy::Unreadable;
            break;
        }
    }
    return found;
}
