// SPDX-License-Identifier: MIT
// Makes one file operation of a process fail, for the fault-injection test. Loaded with
// LD_PRELOAD, it counts the program's calls of each kind (open, read, write, close, fsync,
// rename, ftruncate, the extended attributes, fchown, fchmod, in all their variants) and
// fails call number GLOSSEK_FAULT_AT of the kind GLOSSEK_FAULT_CALL with the error
// GLOSSEK_FAULT_ERRNO (EIO by default). With GLOSSEK_FAULT_SHRINK=1 that call, a read,
// does not fail: the file read is first cut to what has been read of it, as another program
// may do. With GLOSSEK_FAULT_LOG it writes to that file, at exit, each kind with its number
// of calls, and the line "injected" when the failure was made. With GLOSSEK_FAULT_DELAY_MS
// nothing fails: every call of that kind from number GLOSSEK_FAULT_AT on first waits that
// many milliseconds, which holds a run long enough for a signal to come part-way.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

enum Kind {
    kOpen,
    kRead,
    kWrite,
    kClose,
    kFsync,
    kRename,
    kTruncate,
    kXattr,
    kChown,
    kChmod,
    kKinds
};
constexpr const char* kKindNames[kKinds] = {"open",   "read",     "write", "close", "fsync",
                                            "rename", "truncate", "xattr", "chown", "chmod"};

// Set once, before main, from the environment; the counters change with every call.
struct Plan {
    int kind = -1;
    long at = 0;
    int error_number = EIO;
    bool shrink = false;
    long delay_ms = 0;
    const char* log = nullptr;
};
Plan g_plan;
std::atomic<long> g_counts[kKinds];
std::atomic<bool> g_injected{false};

__attribute__((constructor)) void read_plan() {
    const char* kind = std::getenv("GLOSSEK_FAULT_CALL");
    for (int k = 0; kind != nullptr && k < kKinds; ++k) {
        if (std::strcmp(kind, kKindNames[k]) == 0) {
            g_plan.kind = k;
        }
    }
    if (const char* at = std::getenv("GLOSSEK_FAULT_AT")) {
        g_plan.at = std::atol(at);
    }
    if (const char* error_number = std::getenv("GLOSSEK_FAULT_ERRNO")) {
        g_plan.error_number = std::atoi(error_number);
    }
    if (const char* delay = std::getenv("GLOSSEK_FAULT_DELAY_MS")) {
        g_plan.delay_ms = std::atol(delay);
    }
    g_plan.log = std::getenv("GLOSSEK_FAULT_LOG");
    const char* shrink = std::getenv("GLOSSEK_FAULT_SHRINK");
    g_plan.shrink = shrink != nullptr && std::strcmp(shrink, "1") == 0;
}

// Counts the call; true (with errno set) when it is the one to fail.
bool fails(Kind kind) {
    const long n = ++g_counts[kind];
    if (kind == g_plan.kind && g_plan.delay_ms > 0) {
        if (n >= g_plan.at) {
            const timespec pause{g_plan.delay_ms / 1000, g_plan.delay_ms % 1000 * 1000000};
            ::nanosleep(&pause, nullptr);
        }
        return false;
    }
    if (kind == g_plan.kind && n == g_plan.at) {
        g_injected = true;
        errno = g_plan.error_number;
        return true;
    }
    return false;
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

mode_t mode_argument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

__attribute__((destructor)) void write_log() {
    if (g_plan.log == nullptr) {
        return;
    }
    using OpenFunction = int (*)(const char*, int, ...);
    using WriteFunction = ssize_t (*)(int, const void*, size_t);
    using CloseFunction = int (*)(int);
    static const auto real_open = next<OpenFunction>("open");
    static const auto real_write = next<WriteFunction>("write");
    static const auto real_close = next<CloseFunction>("close");
    const int fd = real_open(g_plan.log, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    char line[64];
    for (int k = 0; k < kKinds; ++k) {
        const int size =
            std::snprintf(line, sizeof line, "%s %ld\n", kKindNames[k], g_counts[k].load());
        real_write(fd, line, static_cast<size_t>(size));
    }
    if (g_injected) {
        real_write(fd, "injected\n", 9);
    }
    real_close(fd);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next<int (*)(const char*, int, ...)>("open");
    return fails(kOpen) ? -1 : real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next<int (*)(const char*, int, ...)>("open64");
    return fails(kOpen) ? -1 : real(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
    return fails(kOpen) ? -1 : real(folder, path, flags, mode);
}

int __open_2(const char* path, int flags) {
    static const auto real = next<int (*)(const char*, int)>("__open_2");
    return fails(kOpen) ? -1 : real(path, flags);
}

// The file of `fd` cut to where it is read up to (what another program may do to it).
void cut_at_position(int fd) {
    static const auto real_truncate = next<int (*)(const char*, off_t)>("truncate");
    char link[64];
    char path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t size = ::readlink(link, path, sizeof path - 1);
    if (size > 0) {
        path[size] = '\0';
        real_truncate(path, ::lseek(fd, 0, SEEK_CUR));
    }
}

ssize_t read(int fd, void* buffer, size_t size) {
    static const auto real = next<ssize_t (*)(int, void*, size_t)>("read");
    if (fails(kRead)) {
        if (!g_plan.shrink) {
            return -1;
        }
        cut_at_position(fd);
    }
    return real(fd, buffer, size);
}

ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    static const auto real = next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    return fails(kRead) ? -1 : real(fd, buffer, size, offset);
}

ssize_t pread64(int fd, void* buffer, size_t size, off_t offset) {
    static const auto real = next<ssize_t (*)(int, void*, size_t, off_t)>("pread64");
    return fails(kRead) ? -1 : real(fd, buffer, size, offset);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    return fails(kWrite) ? -1 : real(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return fails(kWrite) ? -1 : real(fd, buffer, size, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    return fails(kWrite) ? -1 : real(fd, buffer, size, offset);
}

int ftruncate(int fd, off_t size) {
    static const auto real = next<int (*)(int, off_t)>("ftruncate");
    return fails(kTruncate) ? -1 : real(fd, size);
}

int ftruncate64(int fd, off_t size) {
    static const auto real = next<int (*)(int, off_t)>("ftruncate64");
    return fails(kTruncate) ? -1 : real(fd, size);
}

ssize_t flistxattr(int fd, char* names, size_t size) {
    static const auto real = next<ssize_t (*)(int, char*, size_t)>("flistxattr");
    return fails(kXattr) ? -1 : real(fd, names, size);
}

ssize_t fgetxattr(int fd, const char* name, void* value, size_t size) {
    static const auto real = next<ssize_t (*)(int, const char*, void*, size_t)>("fgetxattr");
    return fails(kXattr) ? -1 : real(fd, name, value, size);
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    static const auto real = next<int (*)(int, const char*, const void*, size_t, int)>("fsetxattr");
    return fails(kXattr) ? -1 : real(fd, name, value, size, flags);
}

int fremovexattr(int fd, const char* name) {
    static const auto real = next<int (*)(int, const char*)>("fremovexattr");
    return fails(kXattr) ? -1 : real(fd, name);
}

int fchown(int fd, uid_t owner, gid_t group) {
    static const auto real = next<int (*)(int, uid_t, gid_t)>("fchown");
    return fails(kChown) ? -1 : real(fd, owner, group);
}

int fchmod(int fd, mode_t mode) {
    static const auto real = next<int (*)(int, mode_t)>("fchmod");
    return fails(kChmod) ? -1 : real(fd, mode);
}

int close(int fd) {
    static const auto real = next<int (*)(int)>("close");
    if (fails(kClose)) {
        real(fd);  // as Linux does: the descriptor is gone even when close reports an error
        return -1;
    }
    return real(fd);
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    return fails(kFsync) ? -1 : real(fd);
}

int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    return fails(kFsync) ? -1 : real(fd);
}

int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return fails(kRename) ? -1 : real(from, to);
}

int renameat(int from_folder, const char* from, int to_folder, const char* to) {
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return fails(kRename) ? -1 : real(from_folder, from, to_folder, to);
}

}  // extern "C"
