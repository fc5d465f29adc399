#pragma once
#include "settings/Criteria.h"
#include "settings/ExtensionList.h"

// FileExtType: what the extension list does.
enum FileExtTypeValue : int {
    kOnlyListed = 0,        // only files whose extension is listed
    kAllButListed = 1,      // all files but those
    kIgnoreExtension = 2,   // no filter, and names are compared without extension
};

// Search criteria and extension filter, persisted in section TWINSEEK of the
// settings file; the list itself lives in ext.list. Fields are named after keys.
struct FindSettingStruct {
    virtual ~FindSettingStruct() = default;

    int FindSimularFile = 0;
    int FindSizeFile = 0;
    int FindTimeFile = 0;
    int FindMD5File = 0;
    int ExpandItem = 0;
    int FileExtType = kOnlyListed;   // FileExtTypeValue
    int Md5MaxSize = 10;   // MiB; 0 = no limit
    int FastSearch = 0;    // 1: no pauses between entries, folders and rows
    ExtensionList ExtList;

    void Load();
    void Save() const;
    void LoadExtList();
    void SaveExtList() const;

    // Criteria bits of the group map: 1 time, 2 size, 4 digest.
    unsigned char CriteriaBits() const {
        return static_cast<unsigned char>((FindTimeFile ? kSameTime : 0) | (FindSizeFile ? kSameSize : 0) |
                                          (FindMD5File ? kSameDigest : 0));
    }
};
