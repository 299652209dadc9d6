#pragma once
// The server's general query log, read from a byte position on so that a long run need not
// read again what came before. Statements may be megabytes long and span several lines.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct LogEntry {
    long Thread = 0;
    std::string Command;  // Connect, Query, Quit, ...
    std::string Argument; // the statement as the server received it
};

class GeneralLog {
public:
    explicit GeneralLog(std::filesystem::path file) : file_(std::move(file)) {}

    std::uintmax_t End() const { return std::filesystem::file_size(file_); }
    // The entries from a position on: 0, or an earlier End().
    std::vector<LogEntry> Since(std::uintmax_t position) const;

private:
    std::filesystem::path file_;
};
