#pragma once
// Child programs of the tests and benchmarks (the server, the command-line client, an X
// server): started with their standard streams sent to files, killed with the program that
// started them, and waited for.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

struct Redirections {
    std::string In;  // a file read as standard input; empty: inherited
    std::string Out; // a file both standard output and error go to, appended; empty: inherited
    std::string Err; // standard error alone, truncated, when not sent with Out

    static Redirections OutputTo(std::string file) { return {{}, std::move(file), {}}; }
};

// Starts args[0] (looked up in PATH) with the rest as its arguments.
pid_t Spawn(const std::vector<std::string>& args, const Redirections& io = {});
// Its wait status once it exits; with usage, the CPU it used.
int WaitFor(pid_t pid, rusage* usage = nullptr);
// Runs it to its end; a failure names the program and where its output went.
void RunToEnd(const std::vector<std::string>& args, const Redirections& io = {});

// The exit code of a wait status; 128 + the signal's number for a program a signal ended.
int ExitCode(int status);

// What a program run to its end left: its exit code and its two output streams.
struct ProgramRun {
    int Code = -1;
    std::string Out, Err;
};
// Runs args[0] to its end with the bytes on its standard input.
ProgramRun RunProgram(const std::vector<std::string>& args, const std::string& input = "");

// Runs args[0] to its end on a pseudo-terminal of its own (its three standard streams); after
// each piece of output, onOutput sees all the terminal showed so far and the terminal's master
// side, to type on. Stops reading 20 s after the last output.
ProgramRun RunOnTerminal(const std::vector<std::string>& args,
                         const std::function<void(std::string_view shown, int terminal)>& onOutput);
