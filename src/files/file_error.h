// SPDX-License-Identifier: MIT
// The failure of a file operation, as the program reports it.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace glossek {

// The codes the rest of the program knows.
inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFileName = 3;  // a missing folder, a name too long
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;  // the output is the file being read
inline constexpr int kDiskReadError = 100;
inline constexpr int kDiskWriteError = 101;
inline constexpr int kNotOpen = 103;  // 103 to 105: a file used in a state that forbids it
inline constexpr int kNotOpenForReading = 104;
inline constexpr int kNotOpenForWriting = 105;
inline constexpr int kInputChanged = 106;    // a file read changed meanwhile
inline constexpr int kNotRegularFile = 107;  // a folder, a device or a pipe where a file is read
inline constexpr int kInputChangedAfter =
    108;  // a file changed while what was made of it was written

// The failure of a file operation: a code of the program (see above) and the message that
// belongs to that code. `file` names the file when one is known, as the file system spells
// it; it is kept apart from the message, which is the program's own words. For the disk read
// and write errors `system_error` (an errno value) tells what happened: a full disk, a file
// too large, a device error.
class TextIoError : public std::runtime_error {
public:
    explicit TextIoError(int code, std::string file = {}, int system_error = 0);
    int code() const { return code_; }
    const std::string& file() const { return file_; }
    int system_error() const { return system_error_; }

private:
    int code_;
    std::string file_;
    int system_error_;
};

// "File not found", "Invalid filename", ..., "Disk read error", "Disk write error",
// "I/O error %d": the file layer's own words, in English (messages say them in the
// language in force).
std::string io_error_message(int code);

// The code of a failed system call on `name`: a missing file or folder, a bad name, no
// descriptor left, no permission; any other failure is a disk read or write error.
int error_code_of(int error_number, const std::string& name, bool writing);

}  // namespace glossek
