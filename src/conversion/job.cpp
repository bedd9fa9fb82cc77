#include "conversion/job.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

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

bool exists(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0;
}

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(const char* a, const std::string& b) {
    std::size_t n = std::strlen(a);
    if (n != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i])) {
            return false;
        }
    }
    return true;
}

// The entry of `folder` whose name matches `component` without regard to case.
bool match_in_folder(const std::string& folder, const std::string& component, std::string& found) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool matched = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (same_ignoring_case(entry->d_name, component)) {
            found = entry->d_name;
            matched = true;
            break;
        }
    }
    ::closedir(dir);
    return matched;
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

std::string find_ignoring_case(const std::string& name) {
    if (name.empty() || exists(name)) {
        return name;
    }
    std::string resolved = name.front() == '/' ? "/" : "";
    std::size_t start = name.front() == '/' ? 1 : 0;
    while (start <= name.size()) {
        std::size_t slash = name.find('/', start);
        std::string component =
            name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!component.empty()) {
            std::string candidate = resolved + component;
            if (!exists(candidate)) {
                std::string found;
                if (!match_in_folder(resolved, component, found)) {
                    return name;
                }
                candidate = resolved + found;
            }
            resolved = candidate;
            if (slash != std::string::npos) {
                resolved += '/';
            }
        }
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    return resolved;
}

CommandLineJob interpret_parameters(const Parameters& params, const std::string& start_folder) {
    CommandLineJob job;
    job.input_name = absolute_name(params[0], start_folder);
    job.output_name = absolute_name(params[1], start_folder);
    const std::string way = upper_ascii(params[2]);
    if (way == "D") {
        job.way = ConversionWay::WindowsToDos;
    }
    if (!way.empty() && way.front() == 'A') {
        job.way = ConversionWay::AuxiliaryTable;
        job.table_given = true;
        std::string table = way.substr(1);
        job.table_name =
            table.empty() ? table : find_ignoring_case(absolute_name(table, start_folder));
    }
    job.run = upper_ascii(params[3]) == "R";
    return job;
}

}  // namespace glossek
