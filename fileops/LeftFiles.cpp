#include "fileops/LeftFiles.h"

#include "win/Format.h"

std::wstring LeftReasonText(const SLeftFile& left) {
    switch (left.reason) {
    case ELeftReason::ContentDiffers: return L"内容与保留的文件不同";
    case ELeftReason::KeptGone: return L"保留的文件已改变或不存在";
    case ELeftReason::KeptUnreadable: return L"保留的文件无法读取，未能比较内容";
    case ELeftReason::Changed: return L"文件在查找后已改变或不存在";
    case ELeftReason::Unreadable: return L"文件无法读取";
    case ELeftReason::InUse: return L"文件正被其他程序使用";
    case ELeftReason::Denied: return L"文件只读或没有权限";
    case ELeftReason::NoBin: return L"回收站不能接收此文件";
    case ELeftReason::NoSpareName: return L"无法为文件建立备用名称（FAT、exFAT或链接数已满），未放入回收站";
    case ELeftReason::SpareKept: return win::Format(L"未能确认已放入回收站，文件保留为:%s", left.detail.c_str());
    case ELeftReason::TargetExists: return L"目标文件夹中已有同名文件";
    case ELeftReason::DiskFull: return L"目标磁盘空间不足";
    case ELeftReason::CopyDiffers: return L"复制后的文件与原文件不同";
    case ELeftReason::SourceStayed: return L"原文件无法删除";
    case ELeftReason::Stopped: return L"程序关闭，操作已取消";
    case ELeftReason::Failed: break;
    }
    return win::Format(L"操作失败（错误%lu）", left.error);
}

ELeftReason ReasonOfError(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return ELeftReason::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return ELeftReason::Denied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ELeftReason::Changed;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return ELeftReason::TargetExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ELeftReason::DiskFull;
    default: return ELeftReason::Failed;
    }
}

SOutcome SOutcome::Error(DWORD error) { return Left(ReasonOfError(error), error); }
