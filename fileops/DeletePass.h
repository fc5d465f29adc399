#pragma once
#include <functional>

#include "fileops/PassContext.h"
#include "settings/DeleteSettingStruct.h"

// Deleting duplicates from the results: all but the first file of every group, or
// the ticked files, to the recycle bin or for good. Runs on its worker with the pass
// lock held. A file goes only while a kept copy of it is on disk as another file;
// one that stays keeps its row and record and is counted in the end text.
class CDeletePass {
public:
    // `reFind`: the re-search that DelReFind asks for, started between the pass and
    // the empty-folder pass.
    CDeletePass(const SPassContext& context, const DeleteSettingStruct& setting, std::function<void()> reFind)
        : context_(context), setting_(setting), reFind_(std::move(reFind)) {}

    // The pass the options ask for, then the re-search and the empty-folder pass.
    void DeleteFiles();
    void DeleteKeepFirst();
    void DeleteChecked();

private:
    SPassContext context_;
    DeleteSettingStruct setting_;
    std::function<void()> reFind_;
};
