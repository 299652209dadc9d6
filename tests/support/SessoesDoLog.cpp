// sessoes_do_log LOG N: the statements that the Nth connection to write a booklet ("insert into
// cadofertas") sent, in the order the server received them, one a line (a line end inside a
// statement written as \n). Scripts compare two programs' imports with it.
#include "GeneralLog.h"

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

std::string OneLine(const std::string& statement) {
    std::string out;
    for (char c : statement) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sessoes_do_log GENERAL_LOG N\n";
        return 2;
    }
    const int wanted = std::atoi(argv[2]);
    std::map<long, std::vector<std::string>> byThread;
    std::vector<long> importers; // in the order their booklets were written
    for (const LogEntry& e : GeneralLog(argv[1]).Since(0)) {
        if (e.Command != "Query")
            continue;
        auto& statements = byThread[e.Thread];
        if (e.Argument.rfind("insert into cadofertas ", 0) == 0)
            importers.push_back(e.Thread);
        statements.push_back(e.Argument);
    }
    if (wanted < 1 || static_cast<size_t>(wanted) > importers.size()) {
        std::cerr << "the log holds " << importers.size() << " import(s), not a number " << wanted
                  << "\n";
        return 1;
    }
    for (const std::string& s : byThread[importers[static_cast<size_t>(wanted) - 1]])
        std::cout << OneLine(s) << '\n';
    return 0;
}
