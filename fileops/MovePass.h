#pragma once
#include "fileops/PassContext.h"
#include "settings/MoveSettingStruct.h"

// Moving or copying duplicates into one folder: the ticked files, all but the first
// of every group, or all of them. Runs on its worker with the pass lock held. A move
// takes a file only while a kept copy of it is on disk as another file, and a
// replacing move or copy never replaces a file of the results nor one it put there.
class CMovePass {
public:
    CMovePass(const SPassContext& context, const MoveSettingStruct& setting)
        : context_(context), setting_(setting) {}

    // The pass the options ask for, then the empty-folder pass when asked.
    void MoveFiles();
    void MoveChecked();
    void MoveKeepFirst();
    void MoveAll();

private:
    SPassContext context_;
    MoveSettingStruct setting_;
};
