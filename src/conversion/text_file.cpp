#include "conversion/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define GLOSSEK_X86_64 1
#include <immintrin.h>
#else
#define GLOSSEK_X86_64 0
#endif

namespace glossek {

namespace {

constexpr char kCr = '\x0D';
constexpr char kLf = '\x0A';
constexpr char kCtrlZ = '\x1A';

constexpr int kNotOpenForReading = 104;
constexpr int kNotOpenForWriting = 105;
constexpr int kNotOpen = 103;
constexpr int kSharingViolation = 32;

// Files this process holds open for reading, by device and inode. Linux has no share
// modes; this is the one that matters: never empty a file while it is being read.
class ReadRegistry {
public:
    void add(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        open_.insert({dev, ino});
    }
    void remove(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        auto it = open_.find({dev, ino});
        if (it != open_.end()) {
            open_.erase(it);
        }
    }
    bool contains(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        return open_.count({dev, ino}) > 0;
    }

private:
    std::mutex mutex_;
    std::multiset<std::pair<unsigned long long, unsigned long long>> open_;
};

ReadRegistry& read_registry() {
    static ReadRegistry registry;
    return registry;
}

std::string parent_folder(const std::string& name) {
    auto slash = name.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : name.substr(0, slash);
}

bool is_folder(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The codes the rest of the program knows: 2 missing file, 3 missing folder or bad name,
// 4 too many open files, 5 access denied. Anything else keeps its errno (a full disk is
// "I/O error 28", a file-size limit "I/O error 27"), so the number can be looked up.
int map_errno(int error_number, const std::string& name) {
    switch (error_number) {
        case ENOENT:
            return (!name.empty() && !is_folder(parent_folder(name))) ? 3 : 2;
        case ENOTDIR:
        case ENAMETOOLONG:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;
        default:
            return error_number;
    }
}

void translate_bytes(unsigned char* bytes, std::size_t size, const unsigned char* map) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = map[bytes[i]];
    }
}

#if GLOSSEK_X86_64
// 32 bytes at a time, the table taken as sixteen 16-byte slices: for slice j, the bytes
// whose high half is j become 0x70 to 0x7F and a shuffle picks their entries, while every
// other byte gets its top bit set, for which the shuffle gives zero. A table that keeps
// ASCII needs only the upper eight slices.
template <bool kAsciiKept>
__attribute__((target("avx2"))) void translate_avx2(unsigned char* bytes, std::size_t size,
                                                    const unsigned char* map) {
    constexpr int kFirstSlice = kAsciiKept ? 8 : 0;
    __m256i slices[16];
    for (int j = kFirstSlice; j < 16; ++j) {
        slices[j] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(map + 16 * j)));
    }
    const __m256i bias = _mm256_set1_epi8(0x70);
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        auto* at = reinterpret_cast<__m256i*>(bytes + i);
        const __m256i text = _mm256_loadu_si256(at);
        __m256i result = _mm256_setzero_si256();
        for (int j = kFirstSlice; j < 16; ++j) {
            const __m256i high = _mm256_set1_epi8(static_cast<char>(j << 4));
            const __m256i index = _mm256_adds_epu8(_mm256_xor_si256(text, high), bias);
            result = _mm256_or_si256(result, _mm256_shuffle_epi8(slices[j], index));
        }
        if constexpr (kAsciiKept) {
            result = _mm256_blendv_epi8(text, result, text);  // top bit set: looked up
        }
        _mm256_storeu_si256(at, result);
    }
    translate_bytes(bytes + i, size - i, map);
}
#endif

void translate(char* text, std::size_t size, const unsigned char* map) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
#if GLOSSEK_X86_64
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        bool ascii_kept = true;
        for (int c = 0; c < 0x80; ++c) {
            ascii_kept = ascii_kept && map[c] == c;
        }
        if (ascii_kept) {
            translate_avx2<true>(bytes, size, map);
        } else {
            translate_avx2<false>(bytes, size, map);
        }
        return;
    }
#endif
    translate_bytes(bytes, size, map);
}

}  // namespace

TextIoError::TextIoError(int code, std::string file)
    : std::runtime_error(io_error_message(code)), code_(code), file_(std::move(file)) {}

std::string io_error_message(int code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(code);
    }
}

std::string error_box_text(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

std::string application_title(std::string_view program_path) {
    auto slash = program_path.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? program_path : program_path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') {
            title[i] = static_cast<char>(title[i] - 'A' + 'a');
        }
    }
    return title;
}

bool file_exists(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

TextLineFile::~TextLineFile() {
    release();
}

void TextLineFile::fail(int error_number) const {
    throw TextIoError(map_errno(error_number, name_), name_);
}

void TextLineFile::require(State wanted, int code) const {
    if (state_ != wanted) {
        throw TextIoError(code, name_);
    }
}

void TextLineFile::release() {
    if (state_ == State::Reading) {
        read_registry().remove(device_, inode_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    state_ = State::Closed;
    pos_ = fill_ = 0;
    data_ended_ = false;
    nul_known_ = false;
    write_map_ = nullptr;
}

void TextLineFile::open_read(const std::string& name) {
    release();
    name_ = name;
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int error_number = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        fail(error_number);
    }
    fd_ = fd;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    read_registry().add(device_, inode_);
    state_ = State::Reading;
    buffer_.resize(kBlockSize);
    pos_ = fill_ = 0;
    data_ended_ = false;
}

void TextLineFile::open_write(const std::string& name, const unsigned char* map) {
    release();
    name_ = name;
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && read_registry().contains(st.st_dev, st.st_ino)) {
        throw TextIoError(kSharingViolation, name_);
    }
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errno);
    }
    fd_ = fd;
    state_ = State::Writing;
    buffer_.resize(kBlockSize);
    pos_ = fill_ = 0;
    write_map_ = map;
}

bool TextLineFile::fill_buffer() {
    if (data_ended_) {
        return false;
    }
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(errno);
    }
    pos_ = 0;
    fill_ = static_cast<std::size_t>(got);
    nul_known_ = false;
    if (got == 0) {
        data_ended_ = true;
        return false;
    }
    // The first Ctrl-Z ends the data exactly like the physical end of the file.
    if (const void* z = std::memchr(buffer_.data(), kCtrlZ, fill_)) {
        fill_ = static_cast<std::size_t>(static_cast<const char*>(z) - buffer_.data());
        data_ended_ = true;
    }
    return fill_ > 0;
}

bool TextLineFile::at_block_end() {
    require(State::Reading, kNotOpenForReading);
    return pos_ == fill_ && !fill_buffer();
}

void TextLineFile::read_line(std::string& line) {
    require(State::Reading, kNotOpenForReading);
    line.clear();
    while (pos_ < fill_ || fill_buffer()) {
        const char* start = buffer_.data() + pos_;
        const void* cr = std::memchr(start, kCr, fill_ - pos_);
        if (cr == nullptr) {
            line.append(start, fill_ - pos_);
            pos_ = fill_;
            continue;
        }
        const char* end = static_cast<const char*>(cr);
        line.append(start, end);
        pos_ += static_cast<std::size_t>(end - start) + 1;
        if ((pos_ < fill_ || fill_buffer()) && buffer_[pos_] == kLf) {
            ++pos_;
        }
        return;
    }
}

std::string_view TextLineFile::line_across_blocks(bool stop_at_nul) {
    read_line(carry_);
    if (stop_at_nul) {
        carry_.resize(std::min(carry_.size(), carry_.find('\0')));
    }
    return carry_;
}

std::string TextLineFile::read_line() {
    std::string line;
    read_line(line);
    return line;
}

std::string TextLineFile::read_field(int width) {
    require(State::Reading, kNotOpenForReading);
    std::string field;
    const auto wanted = static_cast<std::size_t>(std::clamp(width, 0, 255));
    while (field.size() < wanted && (pos_ < fill_ || fill_buffer())) {
        if (buffer_[pos_] == kCr) {
            break;
        }
        field += buffer_[pos_++];
    }
    return field;
}

void TextLineFile::skip_line() {
    require(State::Reading, kNotOpenForReading);
    while (pos_ < fill_ || fill_buffer()) {
        const char* start = buffer_.data() + pos_;
        const void* cr = std::memchr(start, kCr, fill_ - pos_);
        if (cr == nullptr) {
            pos_ = fill_;
            continue;
        }
        pos_ += static_cast<std::size_t>(static_cast<const char*>(cr) - start) + 1;
        if ((pos_ < fill_ || fill_buffer()) && buffer_[pos_] == kLf) {
            ++pos_;
        }
        return;
    }
}

void TextLineFile::flush_buffer() {
    // A whole block at a time: far cheaper than byte by byte as each line is written.
    if (write_map_ != nullptr) {
        translate(buffer_.data(), fill_, write_map_);
    }
    std::size_t done = 0;
    while (done < fill_) {
        ssize_t put = ::write(fd_, buffer_.data() + done, fill_ - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Nothing is retried: the block is dropped, so that closing the file neither
            // writes its first part a second time nor sends it through the map again.
            const int error_number = errno;
            fill_ = 0;
            fail(error_number);
        }
        done += static_cast<std::size_t>(put);
    }
    fill_ = 0;
}

void TextLineFile::write_text(std::string_view text) {
    require(State::Writing, kNotOpenForWriting);
    while (!text.empty()) {
        std::size_t room = buffer_.size() - fill_;
        std::size_t part = std::min(room, text.size());
        std::memcpy(buffer_.data() + fill_, text.data(), part);
        fill_ += part;
        text.remove_prefix(part);
        if (fill_ == buffer_.size()) {
            flush_buffer();
        }
    }
}

void TextLineFile::end_line() {
    write_text("\r\n");
}

void TextLineFile::close() {
    if (state_ == State::Closed) {
        throw TextIoError(kNotOpen, name_);
    }
    int flush_error = 0;
    if (state_ == State::Writing) {
        try {
            flush_buffer();
        } catch (const TextIoError& error) {
            flush_error = error.code();
        }
    }
    int fd = fd_;
    fd_ = -1;
    release();
    if (flush_error != 0) {
        ::close(fd);
        throw TextIoError(flush_error, name_);
    }
    if (::close(fd) != 0 && errno != EINTR) {
        fail(errno);
    }
}

CloseOnExit::~CloseOnExit() {
    if (file_.is_open()) {
        try {
            file_.close();
        } catch (const TextIoError&) {
            // The command has already failed; its first error is the one reported.
        }
    }
}

}  // namespace glossek
