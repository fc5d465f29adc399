#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileInfo.h"
#include "engine/FolderNames.h"
#include "engine/PackedFile.h"

// What a fast scan hands to the window without waiting for it: status texts, the
// counters text and group events. The worker fills it; the window thread takes it
// all at once on its tick and shows it. Its own small lock is held only inside
// each call, never across a message.
//
// Status texts: a passing text (a file being examined) is replaced by the next one
// before anybody saw it; a lasting text (a folder's end) is always handed over.
// So the feed holds lasting texts in order and at most one passing text after them.
class CScanFeed {
public:
    // A group reached two files (grew = false) or got one more (grew = true).
    struct GroupEvent {
        SFileInfo first;   // the group's first file
        SFileInfo file;    // the file just added
        bool grew = false;
        bool expand = false;   // ExpandItem when the group reached two
        int count = 0;         // the group's size at that moment
        unsigned clears = 0;   // the map's ClearGroups count at that moment
    };
    // A group event as the feed keeps it: a worker far ahead of the window leaves
    // tens of thousands waiting, so their records are packed against the feed's
    // folder table.
    struct PackedEvent {
        CPackedFile first;
        CPackedFile file;
        bool grew = false;
        bool expand = false;
        int count = 0;
        unsigned clears = 0;
        unsigned table = 0;   // the folder table it was packed against
    };
    struct Batch {
        std::vector<std::wstring> status;   // to be shown in this order
        std::optional<std::wstring> counters;
        std::vector<PackedEvent> groups;
    };

    void Status(std::wstring text, bool lasting);
    void Counters(std::wstring text);
    void Group(const GroupEvent& event);

    Batch Take();
    // The event as it was given; nothing once the groups were dropped since, for
    // its folders are gone with them.
    std::optional<GroupEvent> Unpack(const PackedEvent& event) const;
    // Group events taken but not shown yet go back in front of those that came since.
    void GiveBack(std::vector<PackedEvent> rest);
    // The results were cleared: events found before that must not bring rows back.
    void DropGroups();
    bool Empty() const;

private:
    mutable std::mutex lock_;
    std::vector<std::wstring> status_;
    bool lastPassing_ = false;
    std::optional<std::wstring> counters_;
    std::vector<PackedEvent> groups_;
    CFolderNames folders_;
    unsigned table_ = 0;
};
