// SPDX-License-Identifier: MIT
// What a replaced file keeps: its owner, group, permission bits, ACL and extended
// attributes, and its other hard links. A rename keeps them only when the new file can be
// given them all; otherwise the complete result is copied into the file in place.
#pragma once

#include <string>

struct stat;

namespace glossek {

// Gives the new file `fd` the owner, group, permission bits, ACL and extended attributes of
// the old file, open as `old_fd` with the status `old`. False when any of them cannot be
// given (not the user's to give away, an attribute the user may not set, a file system that
// keeps none): renamed over the old file, the new one would then not be what it was.
bool give_attributes(int fd, int old_fd, const struct stat& old);

// The failure of a copy in place: the errno of the first call that failed, and whether it
// was reading (0 on success).
struct CopyFailure {
    int error_number = 0;
    bool reading = false;
};

// Copies the whole of `from` (the complete new content) over the file `to` from its start,
// cuts `to` to that length and flushes it to the disk. Before it is touched, the old
// content of `to` is copied to a new temporary file beside `near` and flushed; it is
// removed once the new content is on the disk, and put back into `to` when any step fails.
// Signals wait meanwhile (hold_signals). Should putting it back fail too, the copy is kept
// under its temporary name.
CopyFailure copy_in_place(int from, int to, const std::string& near);

// Where a temporary file goes when the output's folder may not be written: $TMPDIR when it
// is an absolute name, else /tmp.
std::string temporary_folder();

}  // namespace glossek
