#include "GeneralLog.h"

#include <algorithm>
#include <fstream>

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// One head line of the general log: "241209  5:50:01\t    3 Query\tselect 1" or, within the
// same second, "\t\t    3 Query\t...". Read by hand: statements may be megabytes long.
bool ParseHead(const std::string& line, LogEntry& entry) {
    const size_t n = line.size();
    size_t p = 0;
    if (n >= 6 && std::all_of(line.begin(), line.begin() + 6, Digit)) {
        p = 6;
        while (p < n && line[p] == ' ')
            ++p;
        if (p == 6)
            return false;
        size_t start = p;
        while (p < n && (Digit(line[p]) || line[p] == ':'))
            ++p;
        if (p - start < 7 || p - start > 8)
            return false;
    }
    if (p >= n || line[p] != '\t')
        return false;
    ++p;
    while (p < n && (line[p] == ' ' || line[p] == '\t'))
        ++p;
    size_t start = p;
    while (p < n && Digit(line[p]))
        ++p;
    if (p == start || p >= n || line[p] != ' ')
        return false;
    long thread = std::stol(line.substr(start, p - start));
    ++p;
    size_t tab = line.find('\t', p);
    if (tab == std::string::npos || tab == p)
        return false;
    for (size_t k = p; k < tab; ++k) {
        char c = line[k];
        bool word = Digit(c) || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!word && !(c == ' ' && k > p && k + 1 < tab && line[k - 1] != ' '))
            return false;
    }
    entry = {thread, line.substr(p, tab - p), line.substr(tab + 1)};
    return true;
}

} // namespace

std::vector<LogEntry> GeneralLog::Since(std::uintmax_t position) const {
    std::ifstream in(file_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(position));
    std::vector<LogEntry> entries;
    std::string line;
    bool started = position > 0; // the file begins with the server's header
    while (std::getline(in, line)) {
        if (!started) {
            started = line.rfind("Time", 0) == 0;
            continue;
        }
        LogEntry entry;
        if (ParseHead(line, entry)) {
            entries.push_back(std::move(entry));
        } else if (line.find("started with:") != std::string::npos) {
            started = false; // a restart writes the header again
        } else if (!entries.empty()) {
            entries.back().Argument += "\n" + line;
        }
    }
    return entries;
}
