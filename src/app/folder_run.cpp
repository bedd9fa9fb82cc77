// SPDX-License-Identifier: MIT
#include "app/folder_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "conversion/go_check.h"
#include "files/file_blocks.h"
#include "files/file_error.h"
#include "files/file_names.h"
#include "files/folder_walk.h"
#include "files/text_file.h"

namespace glossek {

namespace {

// The folder and, as needed, its parents: the deepest first, so that a file in a folder
// already made costs one call.
void make_folders(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) {
        return;
    }
    int error_number = errno;
    if (error_number == ENOENT) {
        const std::string parent = parent_folder(folder);
        if (!parent.empty() && parent != folder) {
            make_folders(parent);
            if (::mkdir(folder.c_str(), 0777) == 0) {
                return;
            }
            error_number = errno;
        }
    }
    if (error_number != EEXIST) {
        throw TextIoError(error_code_of(error_number, folder, true), folder, error_number);
    }
    if (!is_folder(folder)) {
        throw TextIoError(kAccessDenied, folder, ENOTDIR);
    }
}

// The input's bytes as they are, through the output's temporary file.
void copy_file(const std::string& input, const std::string& output) {
    TextLineFile file;
    CloseOnExit guard(file);
    file.open_write(output);
    read_file_blocks(input, TextLineFile::kBlockSize, [&file](const char* data, std::size_t size) {
        file.write_text({data, size});
    });
    file.close();
}

bool same_state(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

// One file of the tree, start to end. `made` is the output folder this worker made or found
// last in this run: the files of one folder come together, so that most need no mkdir.
void convert_file(const FolderSettings& settings, const FolderEntry& entry, FolderFile& file,
                  std::string& made) {
    const std::string input = settings.input + "/" + entry.relative;
    const std::string output = settings.output + "/" + entry.relative;
    switch (entry.kind) {
        case FolderEntry::Kind::Link:
            file.result = FolderResult::SkippedLink;
            return;
        case FolderEntry::Kind::Other:
            throw TextIoError(kNotRegularFile, input);
        case FolderEntry::Kind::Unreadable:
            throw TextIoError(error_code_of(entry.error, input, false), input, entry.error);
        case FolderEntry::Kind::File:
            break;
    }
    struct stat before {};
    if (::stat(input.c_str(), &before) != 0) {
        const int error_number = errno;
        throw TextIoError(error_code_of(error_number, input, false), input, error_number);
    }
    const FileReading reading = identify_file(input, settings.pages);
    const FolderResult action = folder_action(reading, settings.way);
    std::string folder = parent_folder(output);
    if (folder != made) {
        made.clear();
        make_folders(folder);
        made = std::move(folder);
    }
    if (action == FolderResult::Converted) {
        ConversionJob job;
        job.input_name = input;
        job.output_name = output;
        static const ConversionTable no_table;
        if (generate(job, settings.way, settings.table != nullptr ? *settings.table : no_table,
                     settings.pages, nullptr, &file.lossy) == GenerateOutcome::InputMissing) {
            throw TextIoError(kFileNotFound, input);
        }
    } else {
        copy_file(input, output);
    }
    file.result = action;
    // The output keeps its input's time and permission bits, so a converted archive keeps
    // its dates.
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, output.c_str(), times, 0);
    ::chmod(output.c_str(), before.st_mode & 07777);
    struct stat after {};
    if (::stat(input.c_str(), &after) != 0 || !same_state(before, after)) {
        throw TextIoError(kInputChangedAfter, input);
    }
}

bool disk_is_full(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const TextIoError& failure) {
        return failure.code() == kDiskWriteError &&
               (failure.system_error() == ENOSPC || failure.system_error() == EDQUOT);
    } catch (...) {
        return false;
    }
}

// The entries under way, from the next to report; each is started by one worker and
// reported by the calling thread in the order of the walk. Each side is woken only when
// it has something to do: a worker when an entry comes and it waits for one, the calling
// thread when the entry it reports next is done.
struct Pipeline {
    struct Slot {
        FolderEntry entry;
        FolderFile file;
        bool done = false;
    };
    std::mutex mutex;
    std::condition_variable work_came;
    std::condition_variable front_done;
    std::deque<Slot> slots;
    std::size_t first = 0;       // the walk's number of slots.front()
    std::size_t next_start = 0;  // the walk's number of the next slot to start
    unsigned idle = 0;           // workers waiting for an entry
    bool ended = false;          // nothing more comes: workers stop once none is left
    std::atomic<bool> full{false};

    bool has_work() const { return next_start < first + slots.size(); }
};

void work(const FolderSettings& settings, Pipeline& pipeline) {
    std::string made;
    std::unique_lock lock(pipeline.mutex);
    for (;;) {
        if (!pipeline.has_work()) {
            if (pipeline.ended) {
                return;
            }
            ++pipeline.idle;
            pipeline.work_came.wait(lock);
            --pipeline.idle;
            continue;
        }
        const std::size_t number = pipeline.next_start++;
        const FolderEntry entry = pipeline.slots[number - pipeline.first].entry;
        lock.unlock();
        FolderFile file;
        file.relative = entry.relative;
        file.bytes = entry.size;
        try {
            convert_file(settings, entry, file, made);
        } catch (...) {
            file.result = FolderResult::Failed;
            file.error = std::current_exception();
            if (disk_is_full(file.error)) {
                pipeline.full = true;
            }
        }
        lock.lock();
        Pipeline::Slot& done = pipeline.slots[number - pipeline.first];
        done.file = std::move(file);
        done.done = true;
        if (number == pipeline.first || pipeline.full) {
            pipeline.front_done.notify_one();
        }
    }
}

// The calling thread's part: the walk kept `ahead` entries ahead of the one reported next,
// and each entry reported once done, in the order of the walk. True when the run stopped
// before its end.
bool walk_and_report(const std::string& input, Pipeline& pipeline, std::size_t ahead,
                     const std::function<void(const FolderFile&)>& report,
                     const std::atomic<bool>* stop) {
    FolderWalk walk(input);
    bool walked = false;
    bool stopped = false;
    std::unique_lock lock(pipeline.mutex);
    for (;;) {
        stopped = stopped || pipeline.full || (stop != nullptr && stop->load());
        while (!walked && !stopped && pipeline.slots.size() < ahead) {
            Pipeline::Slot slot;
            walked = !walk.next(slot.entry);
            if (!walked) {
                pipeline.slots.push_back(std::move(slot));
                if (pipeline.idle > 0) {
                    pipeline.work_came.notify_one();
                }
            }
        }
        if (stopped) {
            // What no worker has started is not started any more.
            pipeline.slots.resize(pipeline.next_start - pipeline.first);
        }
        if (pipeline.slots.empty() && (walked || stopped)) {
            return stopped;
        }
        if (!pipeline.slots.empty() && pipeline.slots.front().done) {
            const FolderFile file = std::move(pipeline.slots.front().file);
            pipeline.slots.pop_front();
            ++pipeline.first;
            lock.unlock();
            report(file);
            lock.lock();
            continue;
        }
        // A stop asked for from outside is seen within a moment, even while no file ends.
        if (stop != nullptr) {
            pipeline.front_done.wait_for(lock, std::chrono::milliseconds(50));
        } else {
            pipeline.front_done.wait(lock);
        }
    }
}

}  // namespace

bool run_folder(const FolderSettings& settings,
                const std::function<void(const FolderFile&)>& report,
                const std::atomic<bool>* stop) {
    make_folders(settings.output);
    // Most of a small file's time is the wait for its flush to the disk, so there are more
    // workers than cores: their flushes go to the disk together.
    // (No more than 64: the table of temporary files to remove on a signal has room for
    // theirs.)
    const unsigned workers = std::clamp(
        settings.workers != 0 ? settings.workers : 8 * std::thread::hardware_concurrency(), 1u,
        64u);
    // A few entries a worker ahead of the one reported next: memory stays the same whatever
    // the size of the tree.
    const std::size_t ahead = 4 * std::size_t{workers};
    Pipeline pipeline;
    std::vector<std::thread> threads;
    for (unsigned k = 0; k < workers; ++k) {
        threads.emplace_back(work, std::cref(settings), std::ref(pipeline));
    }
    const bool stopped = walk_and_report(settings.input, pipeline, ahead, report, stop);
    std::unique_lock lock(pipeline.mutex);
    pipeline.ended = true;
    pipeline.work_came.notify_all();
    lock.unlock();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return !stopped;
}

}  // namespace glossek
