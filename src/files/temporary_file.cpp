// SPDX-License-Identifier: MIT
#include "files/temporary_file.h"

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
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "files/file_names.h"

namespace glossek {

namespace {

// The temporary files being written, for the handler of SIGINT, SIGTERM and SIGHUP. A
// handler may only call async-signal-safe functions on memory that is already there, so
// this is a fixed table of names, and it has to be a global: a handler gets no argument.
// A slot is free (0), being filled (1: the handler leaves it), or holds a name (2).
struct CleanupSlot {
    std::atomic<int> state{0};
    char name[PATH_MAX] = {};
};
// Enough for every worker of a folder run (at most 64) with a temporary file or two each;
// the pages of slots never used are never touched.
constexpr int kCleanupSlots = 256;
// Constant-initialised, so that a slot's page is touched only once the slot is used.
constinit CleanupSlot g_cleanup_slots[kCleanupSlots];

// How many threads are copying a file in place; the signal that came meanwhile.
std::atomic<int> g_held{0};
std::atomic<int> g_pending{0};
// Set once the temporary files are being removed: a thread that makes one from then on
// removes it itself (the handler may have passed its slot already), and the handler waits
// for the threads that are making one (g_making, this thread's own apart) to be done.
std::atomic<bool> g_dying{false};
std::atomic<int> g_making{0};
thread_local bool t_making = false;

void remove_temporaries_and_die(int signal_number) {
    g_dying.store(true);
    for (CleanupSlot& slot : g_cleanup_slots) {
        if (slot.state.load() == 2) {
            ::unlink(slot.name);
        }
    }
    const int own = t_making ? 1 : 0;
    for (int wait = 0; wait < 2000 && g_making.load() > own; ++wait) {
        const struct timespec millisecond { 0, 1000000 };
        ::nanosleep(&millisecond, nullptr);
    }
    // The default action once the handler returns, so the exit status says which signal.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal_number, &action, nullptr);
    ::raise(signal_number);
}

extern "C" void on_signal(int signal_number) {
    // Noted first, so that a release_signals() on another thread that has just ended the
    // hold either sees it or leaves this handler to see the hold ended.
    g_pending.store(signal_number);
    if (g_held.load() == 0) {
        remove_temporaries_and_die(signal_number);
    }
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
        action.sa_handler = on_signal;
        sigfillset(&action.sa_mask);
        ::sigaction(signal_number, &action, nullptr);
    }
    return true;
}

// /proc and /sys hold files that only make sense written in place (/dev/stdout leads to
// /proc/self/fd/1, which names whatever standard output is).
bool in_kernel_folder(const std::string& name) {
    struct statfs fs {};
    return ::statfs(parent_folder(name).c_str(), &fs) == 0 &&
           (fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC);
}

}  // namespace

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

namespace {

// While a thread makes a temporary file, for the signal handler.
class Making {
public:
    Making() {
        t_making = true;
        g_making.fetch_add(1);
    }
    ~Making() {
        g_making.fetch_sub(1);
        t_making = false;
    }
    Making(const Making&) = delete;
    Making& operator=(const Making&) = delete;
};

}  // namespace

int create_temporary(const std::string& near, unsigned mode, std::string& name, int& slot) {
    for (unsigned attempt = 0;; ++attempt) {
        name = temporary_name(near, attempt);
        const Making making;
        if (g_dying.load()) {
            // The process is ending on a signal: no file is made any more.
            slot = -1;
            name.clear();
            errno = EINTR;
            return -1;
        }
        slot = claim_cleanup_slot(name);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 && g_dying.load()) {
            ::unlink(name.c_str());  // the handler may have passed its slot
        }
        if (fd >= 0) {
            return fd;
        }
        const int error_number = errno;
        release_cleanup_slot(slot);
        name.clear();
        if (error_number != EEXIST || attempt >= 100) {
            errno = error_number;
            return -1;
        }
    }
}

void hold_signals() {
    g_held.fetch_add(1);
}

void release_signals() {
    // The last thread to end its hold takes the signal that came meanwhile.
    if (g_held.fetch_sub(1) != 1) {
        return;
    }
    const int signal_number = g_pending.exchange(0);
    if (signal_number != 0) {
        remove_temporaries_and_die(signal_number);
    }
}

void release_cleanup_slot(int& slot) {
    if (slot >= 0) {
        g_cleanup_slots[slot].state.store(0);
        slot = -1;
    }
}

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

std::string temporary_name(const std::string& target, unsigned attempt) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string base = last_component(target);
    std::size_t keep = std::min<std::size_t>(base.size(), 64);
    while (keep > 0 && keep < base.size() &&
           (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) {
        --keep;  // not inside a UTF-8 character
    }
    static const auto process = static_cast<std::uint64_t>(::getpid());
    auto seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (process << 32) ^ (std::uint64_t{attempt} * 0x9E3779B97F4A7C15ULL);
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        suffix += kLetters[(seed >> 33) % (sizeof kLetters - 1)];
    }
    const std::string folder =
        target.find('/') == std::string::npos ? "" : parent_folder(target) + "/";
    return folder + "." + base.substr(0, keep) + ".glossek-" + suffix;
}

}  // namespace glossek
