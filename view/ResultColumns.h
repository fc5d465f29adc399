#pragma once

// The columns of the results tree, in display order.
enum ResultColumn : int {
    kCountColumn = 0,    // 文件重复数量: a group's size, a file's number in its group
    kNameColumn = 1,     // 文件名称
    kPathColumn = 2,     // 文件所在路径
    kSizeColumn = 3,     // 文件大小
    kTimeColumn = 4,     // 文件修改时间
    kDigestColumn = 5,   // 文件唯一标识
    kResultColumnCount = 6
};
