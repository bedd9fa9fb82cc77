// Line-oriented text files: the one layer every file of the program goes through.
//
// On input CR or CR LF ends a line (a lone LF is text) and the first Ctrl-Z ends the data.
// On output every line ends with CR LF and nothing else is added.
#pragma once

#include <cstddef>
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
    static constexpr std::size_t kBlockSize = 256 * 1024;

    TextLineFile() = default;
    ~TextLineFile();
    TextLineFile(const TextLineFile&) = delete;
    TextLineFile& operator=(const TextLineFile&) = delete;

    void open_read(const std::string& name);
    // Fails with code 32, before the file is touched, when this program holds the same
    // file open for reading (under any name or link): emptying it would lose the input.
    void open_write(const std::string& name);

    bool at_end();
    std::string read_line();
    // As read_line, reusing the capacity of `line`.
    void read_line(std::string& line);
    std::string read_field(int width);
    void skip_line();

    void write_text(std::string_view text);
    void end_line();

    void close();
    bool is_open() const { return state_ != State::Closed; }

private:
    enum class State { Closed, Reading, Writing };

    bool fill_buffer();
    void flush_buffer();
    void release();
    void require(State wanted, int code) const;
    [[noreturn]] void fail(int error_number) const;

    State state_ = State::Closed;
    int fd_ = -1;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t fill_ = 0;
    bool data_ended_ = false;  // physical end or Ctrl-Z reached while filling
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
