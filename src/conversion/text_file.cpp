#include "conversion/text_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
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

// Written data is handed to the disk in steps of this size while the file is written, so
// that the fsync at close() has only the last step left to wait for.
constexpr std::uint64_t kWriteBehind = 8 * 1024 * 1024;

// Files this process holds open for reading, by device and inode. Linux has no share
// modes; this is the one that matters: never replace a file while it is being read.
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

// The temporary files being written, for the handler of SIGINT, SIGTERM and SIGHUP. A
// handler may only call async-signal-safe functions on memory that is already there, so
// this is a fixed table of names, and it has to be a global: a handler gets no argument.
// A slot is free (0), being filled (1: the handler leaves it), or holds a name (2).
struct CleanupSlot {
    std::atomic<int> state{0};
    char name[PATH_MAX];
};
constexpr int kCleanupSlots = 32;
CleanupSlot g_cleanup_slots[kCleanupSlots];

extern "C" void remove_temporaries_and_die(int signal_number) {
    for (CleanupSlot& slot : g_cleanup_slots) {
        if (slot.state.load() == 2) {
            ::unlink(slot.name);
        }
    }
    // The default action once the handler returns, so the exit status says which signal.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal_number, &action, nullptr);
    ::raise(signal_number);
}

// Installed once, for the signals whose action is still the default: a signal that was
// ignored (nohup, a background job) stays ignored, another handler stays in place.
bool install_cleanup_handlers() {
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(signal_number, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = remove_temporaries_and_die;
        sigfillset(&action.sa_mask);
        ::sigaction(signal_number, &action, nullptr);
    }
    return true;
}

// A slot holding `name`, or -1 when the table is full or the name too long (the file is
// then written all the same, only not removed on a signal).
int claim_cleanup_slot(const std::string& name) {
    static const bool installed = install_cleanup_handlers();
    (void)installed;
    if (name.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < kCleanupSlots; ++i) {
        int expected = 0;
        if (g_cleanup_slots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(g_cleanup_slots[i].name, name.c_str(), name.size() + 1);
            g_cleanup_slots[i].state.store(2);
            return i;
        }
    }
    return -1;
}

void release_cleanup_slot(int& slot) {
    if (slot >= 0) {
        g_cleanup_slots[slot].state.store(0);
        slot = -1;
    }
}

std::string parent_folder(const std::string& name) {
    auto slash = name.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : name.substr(0, slash);
}

std::string last_component(const std::string& name) {
    auto slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool is_folder(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// /proc and /sys hold files that only make sense written in place (/dev/stdout leads to
// /proc/self/fd/1, which names whatever standard output is).
bool in_kernel_folder(const std::string& name) {
    struct statfs fs {};
    return ::statfs(parent_folder(name).c_str(), &fs) == 0 &&
           (fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC);
}

// Where writing a name goes, symbolic links followed: the name that the finished file is
// renamed to, so that a link stays a link.
struct WriteTarget {
    std::string path;
    bool in_place = false;  // to be written as it is opened
    bool endless = false;   // a chain of links that never ends
};

WriteTarget write_target(const std::string& name) {
    std::string path = name;
    for (int hops = 0; hops < 40; ++hops) {
        if (in_kernel_folder(path)) {
            return {path, true, false};
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return {path, false, false};
        }
        std::vector<char> target(PATH_MAX + 1, '\0');
        const ssize_t size = ::readlink(path.c_str(), target.data(), PATH_MAX);
        if (size <= 0) {
            return {path, false, false};
        }
        const std::string link(target.data(), static_cast<std::size_t>(size));
        path = link.front() == '/' ? link : parent_folder(path) + "/" + link;
    }
    return {path, false, true};
}

// A name for the temporary file beside `target`: hidden, made from its name (cut short, so
// that a long name still leaves room), and unlikely to be anyone else's.
std::string temporary_name(const std::string& target, unsigned attempt) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string base = last_component(target);
    std::size_t keep = std::min<std::size_t>(base.size(), 64);
    while (keep > 0 && keep < base.size() &&
           (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) {
        --keep;  // not inside a UTF-8 character
    }
    auto seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 32) ^
        (std::uint64_t{attempt} * 0x9E3779B97F4A7C15ULL);
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        suffix += kLetters[(seed >> 33) % (sizeof kLetters - 1)];
    }
    const std::string folder =
        target.find('/') == std::string::npos ? "" : parent_folder(target) + "/";
    return folder + "." + base.substr(0, keep) + ".glossek-" + suffix;
}

// The codes the rest of the program knows: 2 missing file, 3 missing folder or bad name,
// 4 too many open files, 5 access denied. Any other failure is a disk read or write
// error, and keeps its errno so that the message can say what happened.
int map_errno(int error_number, const std::string& name, bool writing) {
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
            return writing ? kDiskWriteError : kDiskReadError;
    }
}

#if GLOSSEK_X86_64
std::atomic<bool> g_plain_line_scan{false};

// Without POPCNT among the instructions the program may assume, the builtin is a call.
std::size_t bit_count(std::uint32_t mask) {
    mask = mask - ((mask >> 1) & 0x55555555u);
    mask = (mask & 0x33333333u) + ((mask >> 2) & 0x33333333u);
    mask = (mask + (mask >> 4)) & 0x0F0F0F0Fu;
    return (mask * 0x01010101u) >> 24;
}

// Whole lines at the start of a text: lines that hold no NUL and end with CR LF. A chunk
// of the text is looked at with the byte after it, which tells whether a CR at its end has
// its LF; the chunks are taken without branches, but for the one that stops the lines.
struct LinesSeen {
    std::size_t count = 0;
    std::size_t lines_end = 0;

    // Where the chunk's last CR LF ends counts only when it has one; as arithmetic, not as
    // a branch, which chunks of text with CRs and without would mispredict half the time.
    void add(std::size_t chunk, std::uint64_t crs, std::size_t crs_count) {
        count += crs_count;
        const std::size_t end = chunk + static_cast<std::size_t>(63 - __builtin_clzll(crs | 1)) + 2;
        lines_end = std::max(lines_end, end * static_cast<std::size_t>(crs != 0));
    }
    std::size_t end() const { return lines_end; }
};

// From `i` on, byte by byte: a tail too short for a chunk, or the chunk that stops.
std::size_t finish_lines(const char* text, std::size_t size, std::size_t i, LinesSeen& seen,
                         std::size_t& count) {
    std::size_t lines_end = seen.end();
    count = seen.count;
    for (; i < size; ++i) {
        if (text[i] == '\0' || (text[i] == kCr && (i + 1 == size || text[i + 1] != kLf))) {
            break;
        }
        if (text[i] == kCr) {
            ++count;
            lines_end = i + 2;
            ++i;
        }
    }
    return lines_end;
}

// SSE2 is part of every x86-64 processor: 16 bytes at a time.
std::size_t plain_lines_sse2(const char* text, std::size_t size, std::size_t& count) {
    const __m128i cr = _mm_set1_epi8(kCr);
    const __m128i lf = _mm_set1_epi8(kLf);
    const __m128i zero = _mm_setzero_si128();
    // The masks of one chunk of 16 bytes: its CRs, the LFs after its bytes, its NULs.
    auto masks = [&](std::size_t at, std::uint32_t& crs, std::uint32_t& lfs, std::uint32_t& nuls) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + 1));
        crs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)));
        lfs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
        nuls = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, zero)));
    };
    LinesSeen seen;
    std::size_t i = 0;
    // Two chunks a round, as one 32-bit mask.
    for (; i + 33 <= size; i += 32) {
        std::uint32_t crs_a, lfs_a, nuls_a, crs_b, lfs_b, nuls_b;
        masks(i, crs_a, lfs_a, nuls_a);
        masks(i + 16, crs_b, lfs_b, nuls_b);
        const std::uint32_t crs = crs_a | crs_b << 16;
        if (((crs & ~(lfs_a | lfs_b << 16)) | nuls_a | nuls_b) != 0) {  // a lone CR or a NUL
            break;
        }
        seen.add(i, crs, bit_count(crs));
    }
    return finish_lines(text, size, i, seen, count);
}

__attribute__((target("avx2,popcnt"))) std::size_t plain_lines_avx2(const char* text,
                                                                    std::size_t size,
                                                                    std::size_t& count) {
    const __m256i cr = _mm256_set1_epi8(kCr);
    const __m256i lf = _mm256_set1_epi8(kLf);
    const __m256i zero = _mm256_setzero_si256();
    LinesSeen seen;
    std::size_t i = 0;
    for (; i + 33 <= size; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 1));
        const auto crs = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, cr)));
        const auto lfs = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, lf)));
        const auto nuls =
            static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, zero)));
        if (((crs & ~lfs) | nuls) != 0) {
            break;
        }
        seen.add(i, crs, static_cast<std::size_t>(__builtin_popcount(crs)));
    }
    return finish_lines(text, size, i, seen, count);
}

// The length of the whole lines at the start of `text`, and how many they are.
std::size_t plain_lines(const char* text, std::size_t size, std::size_t& count) {
#ifdef GLOSSEK_NO_AVX
    static const bool avx2 = false;
#else
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#endif
    return avx2 && !g_plain_line_scan.load(std::memory_order_relaxed)
               ? plain_lines_avx2(text, size, count)
               : plain_lines_sse2(text, size, count);
}
#else
std::size_t plain_lines(const char* text, std::size_t size, std::size_t& count) {
    const void* nul = size == 0 ? nullptr : std::memchr(text, '\0', size);
    const std::size_t limit =
        nul == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    std::size_t lines_end = 0;
    count = 0;
    while (lines_end < limit) {
        const auto* cr =
            static_cast<const char*>(std::memchr(text + lines_end, kCr, limit - lines_end));
        if (cr == nullptr || cr + 1 >= text + limit || cr[1] != kLf) {
            break;
        }
        ++count;
        lines_end = static_cast<std::size_t>(cr - text) + 2;
    }
    return lines_end;
}
#endif

}  // namespace

TextIoError::TextIoError(int code, std::string file, int system_error)
    : std::runtime_error(io_error_message(code)),
      code_(code),
      file_(std::move(file)),
      system_error_(system_error) {}

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
        case kDiskReadError:
            return "Disk read error";
        case kDiskWriteError:
            return "Disk write error";
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

bool same_file(const std::string& first, const std::string& second) {
    if (first == second) {
        return true;
    }
    struct stat a {};
    struct stat b {};
    return !first.empty() && !second.empty() && ::stat(first.c_str(), &a) == 0 &&
           ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

TextLineFile::~TextLineFile() {
    release();
}

void TextLineFile::fail(int error_number, bool writing) const {
    throw TextIoError(map_errno(error_number, name_, writing), name_, error_number);
}

void TextLineFile::require(State wanted, int code) const {
    if (state_ != wanted) {
        throw TextIoError(code, name_);
    }
}

void TextLineFile::remove_temporary() {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        release_cleanup_slot(cleanup_slot_);
        temporary_.clear();
        target_.clear();
    }
}

void TextLineFile::release() {
    if (registered_) {
        read_registry().remove(device_, inode_);
        registered_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    // Never renamed here: only close() knows that the file is complete.
    remove_temporary();
    state_ = State::Closed;
    pos_ = fill_ = 0;
    data_ended_ = false;
    nul_known_ = false;
    block_start_ = 0;
    block_bytes_ = 0;
    carry_ = std::string();  // a line of any size may have been held there
}

void TextLineFile::open_read(const std::string& name) {
    release();
    name_ = name;
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(errno, false);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int error_number = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        fail(error_number, false);
    }
    fd_ = fd;
    // Only a regular file can be replaced under the reader's feet: /dev/null or a pipe read
    // and written at once is no loss.
    if (S_ISREG(st.st_mode)) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
        read_registry().add(device_, inode_);
        registered_ = true;
    }
    state_ = State::Reading;
    buffer_.resize(kBlockSize);
}

void TextLineFile::open_write(const std::string& name) {
    release();
    name_ = name;
    struct stat st {};
    const bool exists = ::stat(name.c_str(), &st) == 0;
    if (exists && S_ISREG(st.st_mode) && read_registry().contains(st.st_dev, st.st_ino)) {
        throw TextIoError(kSharingViolation, name_);
    }
    if (exists && S_ISDIR(st.st_mode)) {
        fail(EISDIR, true);
    }
    if (exists && !S_ISREG(st.st_mode)) {
        open_direct(name);
    } else if (name.empty() || name.back() == '/') {
        fail(name.empty() ? ENOENT : EISDIR, true);
    } else {
        const WriteTarget target = write_target(name);
        if (target.endless) {
            fail(ELOOP, true);
        }
        if (target.in_place) {
            open_direct(name);
        } else {
            open_temporary(target.path, exists ? &st : nullptr);
        }
    }
    state_ = State::Writing;
    buffer_.resize(kBlockSize + kWriteSlack);
}

void TextLineFile::open_direct(const std::string& name) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errno, true);
    }
    fd_ = fd;
}

void TextLineFile::open_temporary(const std::string& target, const struct stat* old) {
    if (old != nullptr) {
        // A file the user may not write stays refused, as it was when it was written in
        // place, even though its folder would let it be replaced.
        int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0) {
            fail(errno, true);
        }
        ::close(probe);
    }
    for (unsigned attempt = 0;; ++attempt) {
        std::string name = temporary_name(target, attempt);
        // Known to the signal handler before it exists, so it is never left behind.
        cleanup_slot_ = claim_cleanup_slot(name);
        // 0666 and the umask (and the folder's default ACL), as a new file always had.
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = std::move(name);
            target_ = target;
            break;
        }
        const int error_number = errno;
        release_cleanup_slot(cleanup_slot_);
        if (error_number != EEXIST || attempt >= 100) {
            fail(error_number, true);
        }
    }
    written_ = flushed_ = 0;
    if (old != nullptr) {
        // The owner where the system allows it (root), then the permission bits.
        if (::fchown(fd_, old->st_uid, old->st_gid) != 0) {
            // Not the owner's to give away: the file becomes the user's, as a new one would.
        }
        if (::fchmod(fd_, old->st_mode & 07777) != 0) {
            const int error_number = errno;
            release();
            fail(error_number, true);
        }
    }
}

bool TextLineFile::fill_buffer() {
    if (data_ended_) {
        return false;
    }
    block_start_ += block_bytes_;
    block_bytes_ = 0;
    pos_ = fill_ = 0;
    nul_known_ = false;
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(errno, false);
    }
    block_bytes_ = static_cast<std::size_t>(got);
    fill_ = block_bytes_;
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
    read_line(line, std::string::npos);
}

bool TextLineFile::read_line(std::string& line, std::size_t limit) {
    require(State::Reading, kNotOpenForReading);
    line.clear();
    while (pos_ < fill_ || fill_buffer()) {
        const char* start = buffer_.data() + pos_;
        const void* cr = std::memchr(start, kCr, fill_ - pos_);
        const std::size_t size =
            cr == nullptr ? fill_ - pos_
                          : static_cast<std::size_t>(static_cast<const char*>(cr) - start);
        if (size > limit - line.size()) {
            const std::size_t part = limit - line.size();
            line.append(start, part);
            pos_ += part;
            return false;
        }
        line.append(start, size);
        pos_ += size;
        if (cr == nullptr) {
            continue;
        }
        ++pos_;
        if ((pos_ < fill_ || fill_buffer()) && buffer_[pos_] == kLf) {
            ++pos_;
        }
        return true;
    }
    return true;
}

std::string_view TextLineFile::next_line_part(bool& ended) {
    require(State::Reading, kNotOpenForReading);
    ended = false;
    if (pos_ == fill_ && !fill_buffer()) {
        ended = true;
        return {};
    }
    const char* start = buffer_.data() + pos_;
    const auto* cr = static_cast<const char*>(std::memchr(start, kCr, fill_ - pos_));
    if (cr == nullptr) {
        const std::size_t size = fill_ - pos_;
        pos_ = fill_;
        return {start, size};
    }
    const auto size = static_cast<std::size_t>(cr - start);
    if (cr + 1 == buffer_.data() + fill_) {
        if (size > 0) {
            // The text now, the CR at the next call: looking for its LF refills the block.
            pos_ += size;
            return {start, size};
        }
        skip_line();
        ended = true;
        return {};
    }
    pos_ += size + (cr[1] == kLf ? 2 : 1);
    ended = true;
    return {start, size};
}

void force_plain_line_scan(bool plain) {
#if GLOSSEK_X86_64
    g_plain_line_scan.store(plain);
#else
    (void)plain;
#endif
}

bool TextLineFile::whole_lines(std::string_view& lines, std::size_t& count) {
    if (state_ != State::Reading) {
        return false;
    }
    const char* start = buffer_.data() + pos_;
    const std::size_t size = plain_lines(start, fill_ - pos_, count);
    if (size == 0) {
        return false;
    }
    pos_ += size;
    lines = {start, size};
    return true;
}

bool TextLineFile::skip_prefix(std::string_view prefix) {
    if (at_end() || fill_ - pos_ < prefix.size() ||
        std::string_view(buffer_.data() + pos_, prefix.size()) != prefix) {
        return false;
    }
    pos_ += prefix.size();
    return true;
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
    write_out(fill_);
}

void TextLineFile::write_out(std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd_, buffer_.data() + done, size - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Nothing is retried, and the file ends here: its temporary file is removed, so
            // that nothing can later put an incomplete file in place of the old one.
            const int error_number = errno;
            release();
            fail(error_number, true);
        }
        done += static_cast<std::size_t>(put);
    }
    written_ += size;
    if (fill_ > size) {
        std::memmove(buffer_.data(), buffer_.data() + size, fill_ - size);
    }
    fill_ -= size;
    if (!temporary_.empty() && written_ - flushed_ >= kWriteBehind) {
        // Started now, in the background; a failure shows at the fsync of close().
        ::sync_file_range(fd_, static_cast<off_t>(flushed_),
                          static_cast<off_t>(written_ - flushed_), SYNC_FILE_RANGE_WRITE);
        flushed_ = written_;
    }
}

void TextLineFile::write_text(std::string_view text) {
    require(State::Writing, kNotOpenForWriting);
    while (!text.empty()) {
        if (fill_ >= kBlockSize) {
            write_out(kBlockSize);
        }
        std::size_t part = std::min(kBlockSize - fill_, text.size());
        std::memcpy(buffer_.data() + fill_, text.data(), part);
        fill_ += part;
        text.remove_prefix(part);
    }
}

TextLineFile::Room TextLineFile::write_room(std::size_t minimum) {
    require(State::Writing, kNotOpenForWriting);
    if (fill_ >= kBlockSize) {
        write_out(kBlockSize);
    }
    if (buffer_.size() - fill_ < minimum) {
        flush_buffer();
    }
    return {buffer_.data() + fill_, buffer_.size() - fill_};
}

void TextLineFile::end_line() {
    write_text("\r\n");
}

void TextLineFile::close() {
    if (state_ == State::Closed) {
        throw TextIoError(kNotOpen, name_);
    }
    if (state_ == State::Reading) {
        const int fd = fd_;
        fd_ = -1;
        release();
        if (::close(fd) != 0 && errno != EINTR) {
            fail(errno, false);
        }
        return;
    }
    // Any failure below leaves the file of that name untouched: release() removes the
    // temporary file, which is renamed only as the very last step.
    flush_buffer();  // on failure the file is already ended
    int error_number = 0;
    if (!temporary_.empty() && ::fsync(fd_) != 0) {
        error_number = errno;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR && error_number == 0) {
        error_number = errno;
    }
    if (error_number == 0 && !temporary_.empty() &&
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_number = errno;
    }
    if (error_number != 0) {
        release();
        fail(error_number, true);
    }
    release_cleanup_slot(cleanup_slot_);
    temporary_.clear();
    target_.clear();
    release();
}

void TextLineFile::abandon() {
    release();
}

CloseOnExit::~CloseOnExit() {
    // The command has already failed: its first error is the one reported, and a file
    // being written is removed rather than left incomplete under its name.
    file_.abandon();
}

}  // namespace glossek
