#include "platform/win32/WinError.h"

#include <cerrno>
#include <cstring>
#include <windows.h>

namespace moxtrel::platform {

int ErrnoFromWin32(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_NOT_READY: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EWOULDBLOCK;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_DIRECTORY: return ENOTDIR;
        case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
        case ERROR_NOT_SAME_DEVICE: return EXDEV;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
        case ERROR_BROKEN_PIPE: return EPIPE;
        default: return EIO;
    }
}

std::string ErrnoText(int osError) {
    switch (osError) {
        case ELOOP: return "Too many levels of symbolic links";
        case EWOULDBLOCK: return "Resource temporarily unavailable";
        case EILSEQ: return "Invalid or incomplete multibyte or wide character";
        case ENODEV: return "No such device";
        default: return std::strerror(osError);
    }
}

}  // namespace moxtrel::platform
