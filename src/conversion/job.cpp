#include "conversion/job.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "conversion/text_file.h"

namespace glossek {

namespace {

std::string drop_quotes(const std::string& arg) {
    std::string result;
    result.reserve(arg.size());
    for (char c : arg) {
        if (c != '"') {
            result += c;
        }
    }
    return result;
}

std::string drop_leading_slash(std::string param, bool always) {
    if (!param.empty() && param.front() == '/' &&
        (always || param.find('/', 1) == std::string::npos)) {
        param.erase(0, 1);
    }
    return param;
}

bool is_folder(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i])) {
            return false;
        }
    }
    return true;
}

// Enough for any folder a person made; a search that finds more stops growing there.
constexpr std::size_t kMostMatches = 64;

// The entries of `folder` (a prefix ending with "/") whose names match `component` without
// regard to case, each as folder + name.
void add_matches(const std::string& folder, const std::string& component,
                 std::vector<std::string>& found) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (found.size() < kMostMatches && same_ignoring_case(entry->d_name, component)) {
            found.push_back(folder + entry->d_name);
        }
    }
    ::closedir(dir);
}

// Every existing file under `base` (a prefix ending with "/") whose path matches
// `relative` without regard to case, component by component.
std::vector<std::string> matches_ignoring_case(const std::string& base,
                                               const std::string& relative) {
    std::vector<std::string> paths = {base};
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t slash = relative.find('/', start);
        if (slash == std::string::npos) {
            slash = relative.size();
        }
        const std::string component = relative.substr(start, slash - start);
        start = slash + 1;
        if (component.empty()) {
            continue;
        }
        const bool last = relative.find_first_not_of('/', start) == std::string::npos;
        std::vector<std::string> next;
        for (const std::string& path : paths) {
            if (component == "." || component == "..") {
                next.push_back(path + component);
            } else {
                add_matches(path, component, next);
            }
        }
        paths.clear();
        for (std::string& path : next) {
            if (last ? file_exists(path) : is_folder(path)) {
                paths.push_back(last ? path : path + "/");
            }
        }
        if (last) {
            std::sort(paths.begin(), paths.end());
            return paths;
        }
    }
    return {};
}

}  // namespace

Parameters parse_parameters(const std::vector<std::string>& args) {
    Parameters params;
    for (std::size_t i = 0; i < params.size() && i < args.size(); ++i) {
        params[i] = drop_leading_slash(drop_quotes(args[i]), i >= 2);
    }
    return params;
}

std::string upper_ascii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string absolute_name(const std::string& name, const std::string& folder) {
    if (name.empty() || name.front() == '/' || folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

TableLookup find_table_file(const std::string& typed, const std::string& start_folder) {
    const std::string as_typed = absolute_name(typed, start_folder);
    const std::string upper = absolute_name(upper_ascii(typed), start_folder);
    if (typed.empty() || file_exists(as_typed)) {
        return {as_typed, {}};
    }
    if (file_exists(upper)) {
        return {upper, {}};
    }
    const bool absolute = typed.front() == '/';
    std::string base = absolute ? "/" : start_folder;
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    std::vector<std::string> matches =
        matches_ignoring_case(base, absolute ? typed.substr(1) : typed);
    if (matches.empty()) {
        return {upper, {}};
    }
    if (matches.size() == 1) {
        return {matches.front(), {}};
    }
    return {as_typed, std::move(matches)};
}

AmbiguousTableName::AmbiguousTableName(std::string file, std::vector<std::string> matches)
    : std::runtime_error(file + ": several files match this name without regard to case"),
      file_(std::move(file)),
      matches_(std::move(matches)) {}

FolderUnknownError::FolderUnknownError(std::string file)
    : std::runtime_error(file + ": a relative name, and the start folder cannot be known"),
      file_(std::move(file)) {}

CommandLineJob interpret_parameters(const Parameters& params, const std::string& start_folder) {
    CommandLineJob job;
    auto left_relative = [&](const std::string& name) {
        if (start_folder.empty() && !name.empty() && name.front() != '/' &&
            job.unresolved_name.empty()) {
            job.unresolved_name = name;
        }
    };
    left_relative(params[0]);
    left_relative(params[1]);
    job.input_name = absolute_name(params[0], start_folder);
    job.output_name = absolute_name(params[1], start_folder);
    const std::string way = upper_ascii(params[2]);
    if (way == "D") {
        job.way = ConversionWay::WindowsToDos;
    }
    if (!way.empty() && way.front() == 'A') {
        job.way = ConversionWay::AuxiliaryTable;
        job.table_given = true;
        const std::string typed = params[2].substr(1);
        left_relative(typed);
        if (typed.empty() || (start_folder.empty() && typed.front() != '/')) {
            job.table_name = upper_ascii(typed);
        } else {
            TableLookup found = find_table_file(typed, start_folder);
            job.table_name = std::move(found.name);
            job.table_matches = std::move(found.matches);
        }
    }
    job.run = upper_ascii(params[3]) == "R";
    return job;
}

}  // namespace glossek
