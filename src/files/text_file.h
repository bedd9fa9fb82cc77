// SPDX-License-Identifier: MIT
// Line-oriented text files: the one layer every file of the program goes through.
//
// On input CR or CR LF ends a line (a lone LF is text) and the first Ctrl-Z ends the data.
// On output every line ends with CR LF and nothing else is added.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_error.h"
#include "files/line_scan.h"

struct stat;

namespace glossek {

// An allocator whose resize() leaves new elements uninitialised, for buffers that are
// always written before they are read.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    UninitializedAllocator() = default;
    template <typename U>
    explicit UninitializedAllocator(const UninitializedAllocator<U>& /*other*/) {}
    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

class TextLineFile {
public:
    // Small enough for the input and output blocks to stay in a core's cache together.
    static constexpr std::size_t kBlockSize = 64 * 1024;
    // Room past a written block's end, for the write_room callers.
    static constexpr std::size_t kWriteSlack = 1024;

    TextLineFile() = default;
    ~TextLineFile();
    TextLineFile(const TextLineFile&) = delete;
    TextLineFile& operator=(const TextLineFile&) = delete;

    // Reading a regular file that becomes shorter meanwhile fails at its end, with
    // kInputChanged.
    void open_read(const std::string& name);
    // A regular file (or a name to be created) is written to a new temporary file in the
    // same folder, which close() renames over the name once everything is written and on
    // the disk: until then the file of that name stays as it was, and a failure, abandon()
    // or a signal (SIGINT, SIGTERM, SIGHUP) removes the temporary file. The new file keeps
    // the old one's owner, group, permission bits, ACL and extended attributes; a symbolic
    // link keeps pointing to it. Where a rename cannot keep them all, or would part the
    // file from its other hard links, or the folder may not be written while the file may,
    // close() copies the complete result into the file in place instead (the temporary
    // file then in $TMPDIR when the folder refuses it), keeping a copy of the old content
    // until the new one is on the disk and putting it back on any failure (see
    // copy_in_place). Anything else (a device, a pipe, /dev/stdout) is written directly, as
    // it is opened.
    // Fails with code 32, before anything is touched, when this program holds the same
    // regular file open for reading (under any name or link): it would lose the input.
    void open_write(const std::string& name);

    bool at_end() { return !(state_ == State::Reading && pos_ < fill_) && at_block_end(); }
    std::string read_line();
    // As read_line, reusing the capacity of `line`.
    void read_line(std::string& line);
    // As read_line, but keeps at most `limit` bytes: a longer line is cut there, the rest of
    // it is left unread (skip_line passes it), and the result is false.
    bool read_line(std::string& line, std::size_t limit);
    // The current line when it lies whole within the block, up to its first NUL with
    // `stop_at_nul` (the rest of the line is skipped); valid until the next call on this
    // file. False, consuming nothing, when it does not. Inline: conversions call it for
    // every line.
    bool line_in_block(std::string_view& line, bool stop_at_nul = false) {
        if (state_ != State::Reading) {
            return false;
        }
        const char* start = buffer_.data() + pos_;
        const char* end = buffer_.data() + fill_;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', fill_ - pos_));
        // The byte after the CR must be in the block too: looking for the LF may refill it.
        if (cr == nullptr || cr + 1 >= end) {
            return false;
        }
        const auto size = static_cast<std::size_t>(cr - start);
        const std::size_t text_size = stop_at_nul ? std::min(size, first_nul() - pos_) : size;
        pos_ += size + (cr[1] == '\n' ? 2 : 1);
        line = {start, text_size};
        return true;
    }
    // As read_line, but valid only until the next call on this file: a line that lies
    // within one block is not copied. With `stop_at_nul` the text ends at the line's first
    // NUL (the rest of the line is skipped).
    std::string_view next_line(bool stop_at_nul = false) {
        std::string_view line;
        return line_in_block(line, stop_at_nul) ? line : line_across_blocks(stop_at_nul);
    }
    // As many whole lines as lie in the block from the current position, up to the block's
    // first NUL or lone CR: lines that each end with CR LF and hold no NUL, which a
    // conversion may take all at once, line ends included. `count` is how many they are.
    // Valid until the next call on this file. False, consuming nothing, when there is none.
    bool whole_lines(std::string_view& lines, std::size_t& count, LineScan scan = best_line_scan());
    // Passes `prefix` when the data at the current position begins with it (a byte order
    // mark at the start of a file), however many reads bring it. False, consuming nothing,
    // otherwise.
    bool skip_prefix(std::string_view prefix);
    // A line of any length in parts, so that memory does not grow with it: the next bytes
    // of the current line, at most a block of them, valid until the next call on this file.
    // `ended` is set once the line's end (CR, CR LF or the end of the data) has been passed;
    // the part that comes with it may be empty.
    std::string_view next_line_part(bool& ended);
    // A line longer than `limit` bytes fails to read through next_line with std::bad_alloc,
    // as an allocation past the memory there is would: the system would rather kill the
    // process than refuse it.
    void limit_line(std::size_t limit) { line_limit_ = limit; }
    // How many bytes of the file have been consumed.
    std::uint64_t position() const { return block_start_ + pos_; }
    std::string read_field(int width);
    void skip_line();

    void write_text(std::string_view text);
    void end_line();
    // write_text then end_line.
    void write_line(std::string_view text) {
        if (state_ == State::Writing && fill_ + text.size() + 2 <= kBlockSize) {
            char* out = buffer_.data() + fill_;
            if (!text.empty()) {
                std::memcpy(out, text.data(), text.size());
            }
            out[text.size()] = '\r';
            out[text.size() + 1] = '\n';
            fill_ += text.size() + 2;
            return;
        }
        write_text(text);
        end_line();
    }

    // Room to write straight into the buffer, at least `minimum` bytes (at most
    // kBlockSize): what is buffered is written out first when there is less. Say with
    // wrote() how much of it was used. The room may reach past the block's end by a little:
    // what lies past it waits for the next block, so that the file is written in whole
    // blocks (a partial page costs the system more than a whole one).
    struct Room {
        char* data;
        std::size_t size;
    };
    Room write_room(std::size_t minimum);
    void wrote(std::size_t size) { fill_ += size; }

    // Writes out what is still buffered; a file written through a temporary file is then
    // flushed to the disk and renamed over its name. On any failure (here, or a write that
    // failed before: that ended the file) the temporary file is removed and the file of
    // that name is left as it was.
    void close();
    // Ends the file without finishing it, and never fails: a file being written through a
    // temporary file is removed, so the file of that name stays as it was.
    void abandon();
    bool is_open() const { return state_ != State::Closed; }

private:
    enum class State { Closed, Reading, Writing };

    bool fill_buffer();
    // Reads more data after what the block holds, while there is room; false at the end.
    bool top_up();
    // At the end of the data: fails with kInputChanged when a regular file became shorter
    // than it was when opened.
    void check_whole() const;
    bool at_block_end();
    std::string_view line_across_blocks(bool stop_at_nul);
    // Where the block's first NUL at or after pos_ is (fill_ when there is none); looked for
    // once per block and again only after a line has passed it.
    std::size_t first_nul() {
        if (!nul_known_ || nul_ < pos_) {
            const void* nul = std::memchr(buffer_.data() + pos_, '\0', fill_ - pos_);
            nul_ = nul == nullptr
                       ? fill_
                       : static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data());
            nul_known_ = true;
        }
        return nul_;
    }
    void open_direct(const std::string& name);
    void open_temporary(const std::string& target, const struct stat* old);
    // Opens the file to be replaced: read and write, else write alone (readable false).
    int open_old(const std::string& target, bool& readable) const;
    void close_renaming();
    void close_in_place();
    void flush_buffer();
    // Writes the first `size` bytes of the buffer; the rest moves to its start.
    void write_out(std::size_t size);
    void release();
    void remove_temporary();
    void require(State wanted, int code) const;
    [[noreturn]] void fail(int error_number, bool writing) const;
    // The same, with the code found from `path` (a missing folder is the target's, not the
    // link's); the error names the file as given.
    [[noreturn]] void fail_on(const std::string& path, int error_number, bool writing) const;

    State state_ = State::Closed;
    int fd_ = -1;
    std::string name_;
    // Not zeroed when made: a small file touches only the pages it fills.
    std::vector<char, UninitializedAllocator<char>> buffer_;
    std::string carry_;  // a line that spans blocks, for next_line
    std::size_t line_limit_ = std::string::npos;
    std::size_t pos_ = 0;
    std::size_t fill_ = 0;
    bool data_ended_ = false;  // physical end or Ctrl-Z reached while filling
    std::size_t nul_ = 0;
    bool nul_known_ = false;
    std::uint64_t block_start_ = 0;  // where the block lies in the file
    std::size_t block_bytes_ = 0;    // what the last read gave, Ctrl-Z and after included
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    bool registered_ = false;  // in the registry of files being read
    std::uint64_t size_at_open_ = 0;
    // Writing through a temporary file: its name, the name it replaces, its slot in the
    // table that the signal handler cleans up, and how much has been sent to the disk.
    std::string temporary_;
    std::string target_;
    int cleanup_slot_ = -1;
    int in_place_fd_ = -1;  // the file to copy the result into at close(), when not renamed
    std::uint64_t written_ = 0;
    std::uint64_t flushed_ = 0;
};

// Ends a file that a command left open when it ended early: abandon(), so that an
// incomplete output never replaces the file of its name. Errors are not reported again.
class CloseOnExit {
public:
    explicit CloseOnExit(TextLineFile& file) : file_(file) {}
    ~CloseOnExit();
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    TextLineFile& file_;
};

}  // namespace glossek
