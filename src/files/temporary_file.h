// SPDX-License-Identifier: MIT
// Temporary files that a finished output is renamed from: their names, where a name is
// written to, and their removal when the program is stopped by a signal.
#pragma once

#include <string>

namespace glossek {

// Where writing a name goes, symbolic links followed: the name that the finished file is
// renamed to, so that a link stays a link.
struct WriteTarget {
    std::string path;
    bool in_place = false;  // to be written as it is opened (/proc, /sys)
    bool endless = false;   // a chain of links that never ends
};
WriteTarget write_target(const std::string& name);

// A name for the temporary file beside `target`: hidden, made from its name (cut short, so
// that a long name still leaves room), and unlikely to be anyone else's.
std::string temporary_name(const std::string& target, unsigned attempt);

// Creates a new file beside `near`, named as temporary_name makes it, open for reading and
// writing with `mode` (less the umask), and known to the signal handler from before it
// exists (`slot`). Returns its descriptor, or -1 with errno set and no slot held.
int create_temporary(const std::string& near, unsigned mode, std::string& name, int& slot);

// While a file is copied in place its old content lives only in a temporary file: SIGINT,
// SIGTERM and SIGHUP then wait, noted by the handler, and release_signals() acts on a
// signal that came meanwhile (removing the temporary files and ending the program) once
// the file is whole again: once every thread that holds them has released them.
void hold_signals();
void release_signals();

// A slot of the table that the handler of SIGINT, SIGTERM and SIGHUP removes files from,
// holding `name`; -1 when the table is full or the name too long (the file is then written
// all the same, only not removed on a signal). The handlers are installed at the first call,
// for the signals whose action is still the default.
int claim_cleanup_slot(const std::string& name);
// Frees the slot (the file is gone or has its final name) and sets it to -1.
void release_cleanup_slot(int& slot);

}  // namespace glossek
