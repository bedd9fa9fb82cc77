// SPDX-License-Identifier: MIT
#include "files/file_error.h"

#include <cerrno>

#include "files/file_names.h"

namespace glossek {

TextIoError::TextIoError(int code, std::string file, int system_error)
    : std::runtime_error(io_error_message(code)),
      code_(code),
      file_(std::move(file)),
      system_error_(system_error) {}

std::string io_error_message(int code) {
    switch (code) {
        case kFileNotFound:
            return "File not found";
        case kInvalidFileName:
            return "Invalid filename";
        case kTooManyOpenFiles:
            return "Too many open files";
        case kAccessDenied:
            return "File access denied";
        case kDiskReadError:
            return "Disk read error";
        case kDiskWriteError:
            return "Disk write error";
        case kNotRegularFile:
            return "Not a regular file";
        case kInputChanged:
        case kInputChangedAfter:
            return "The file changed while it was read";
        default:
            return "I/O error " + std::to_string(code);
    }
}

int error_code_of(int error_number, const std::string& name, bool writing) {
    switch (error_number) {
        case ENOENT:
            return (!name.empty() && !is_folder(parent_folder(name))) ? kInvalidFileName
                                                                      : kFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
            return kInvalidFileName;
        case EMFILE:
        case ENFILE:
            return kTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kAccessDenied;
        default:
            return writing ? kDiskWriteError : kDiskReadError;
    }
}

}  // namespace glossek
