// Line-oriented text files: the one layer every file of the program goes through.
//
// On input CR or CR LF ends a line (a lone LF is text) and the first Ctrl-Z ends the data.
// On output every line ends with CR LF and nothing else is added.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace glossek {

// The failure of a file operation: the system's error code (or 103 to 105 from this layer)
// and the message that belongs to that code. `file` names the file when one is known; the
// error box does not show it, batch mode does.
class TextIoError : public std::runtime_error {
public:
    explicit TextIoError(int code, std::string file = {});
    int code() const { return code_; }
    const std::string& file() const { return file_; }

private:
    int code_;
    std::string file_;
};

// "File not found", "Invalid filename", ..., "I/O error %d".
std::string io_error_message(int code);

// The error box appends a full stop when the message's last byte sorts after '.'.
std::string error_box_text(std::string_view message);

// The program file's name without its folder, up to its first ".", first letter kept and
// every later letter in lower case.
std::string application_title(std::string_view program_path);

// True when the name denotes an existing entry that is not a folder.
bool file_exists(const std::string& name);

class TextLineFile {
public:
    // Small enough for the input and output blocks to stay in a core's cache together.
    static constexpr std::size_t kBlockSize = 64 * 1024;

    TextLineFile() = default;
    ~TextLineFile();
    TextLineFile(const TextLineFile&) = delete;
    TextLineFile& operator=(const TextLineFile&) = delete;

    void open_read(const std::string& name);
    // Fails with code 32, before the file is touched, when this program holds the same
    // file open for reading (under any name or link): emptying it would lose the input.
    // With a map (256 entries, kept by the caller until the file is closed), every byte
    // written goes through it, line ends included.
    void open_write(const std::string& name, const unsigned char* map = nullptr);

    bool at_end() { return !(state_ == State::Reading && pos_ < fill_) && at_block_end(); }
    std::string read_line();
    // As read_line, reusing the capacity of `line`.
    void read_line(std::string& line);
    // As read_line, but valid only until the next call on this file: a line that lies
    // within one block is not copied. With `stop_at_nul` the text ends at the line's first
    // NUL (the rest of the line is skipped). Inline, as conversions call it for every line.
    std::string_view next_line(bool stop_at_nul = false) {
        if (state_ == State::Reading) {
            const char* start = buffer_.data() + pos_;
            const char* end = buffer_.data() + fill_;
            const auto* cr = static_cast<const char*>(std::memchr(start, '\r', fill_ - pos_));
            // The byte after the CR must be in the block too: looking for the LF may refill it.
            if (cr != nullptr && cr + 1 < end) {
                const auto size = static_cast<std::size_t>(cr - start);
                const std::size_t text_size =
                    stop_at_nul ? std::min(size, first_nul() - pos_) : size;
                pos_ += size + (cr[1] == '\n' ? 2 : 1);
                return {start, text_size};
            }
        }
        return line_across_blocks(stop_at_nul);
    }
    std::string read_field(int width);
    void skip_line();

    void write_text(std::string_view text);
    void end_line();
    // write_text then end_line.
    void write_line(std::string_view text) {
        if (state_ == State::Writing && text.size() + 2 <= buffer_.size() - fill_) {
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

    void close();
    bool is_open() const { return state_ != State::Closed; }

private:
    enum class State { Closed, Reading, Writing };

    bool fill_buffer();
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
    void flush_buffer();
    void release();
    void require(State wanted, int code) const;
    [[noreturn]] void fail(int error_number) const;

    State state_ = State::Closed;
    int fd_ = -1;
    std::string name_;
    std::vector<char> buffer_;
    std::string carry_;  // a line that spans blocks, for next_line
    std::size_t pos_ = 0;
    std::size_t fill_ = 0;
    bool data_ended_ = false;  // physical end or Ctrl-Z reached while filling
    std::size_t nul_ = 0;
    bool nul_known_ = false;
    const unsigned char* write_map_ = nullptr;
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
};

// Closes a file that a command left open when it ended early; errors are not reported again.
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
