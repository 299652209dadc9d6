#pragma once
// Child programs that the caller starts, watches and waits for (importa-caderno's rollout runs
// one command per store): their standard output and error into files, their standard input
// empty, in a process group of their own, so that a Ctrl+C typed on the terminal reaches only
// the caller, which passes a stop on to each child itself. POSIX fork and exec, with a Windows
// CreateProcess branch.
#include <optional>
#include <string>
#include <vector>

struct TUsoDoFilho {
    double SegundosCpu = 0; // user and system time
    long MemoriaKb = 0;     // the largest resident set (0 where the system does not tell)
};

class TFilho {
public:
    // Starts programa (a full path) with the arguments (the program's name not among them),
    // the system's texts, its standard output and error into the files (made anew). Raises
    // EErro when it cannot be started. Where the system allows (Linux), a child whose caller
    // dies is sent SIGTERM, so that it stops between two lines as on a Ctrl+C.
    static TFilho Inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                         const std::string& saida, const std::string& erros);

    TFilho(TFilho&& outro) noexcept;
    TFilho& operator=(TFilho&& outro) noexcept;
    TFilho(const TFilho&) = delete;
    TFilho& operator=(const TFilho&) = delete;
    // One still running is killed and waited for.
    ~TFilho();

    // Whether it ended, without waiting: its exit code then (128 + the signal's number for one
    // a signal ended), the same at every later call.
    std::optional<int> Terminou();
    // Asks it to stop as a Ctrl+C would: SIGTERM; on Windows, Ctrl+Break to its group.
    void PedeParada();
    // Ends it at once: SIGKILL; TerminateProcess on Windows.
    void Mata();
    // What it used, once it ended.
    TUsoDoFilho Uso() const { return uso_; }

private:
    TFilho() = default;

#if defined(_WIN32)
    void* processo_ = nullptr; // HANDLE
    unsigned long id_ = 0;
#else
    int pid_ = -1;
#endif
    std::optional<int> codigo_;
    TUsoDoFilho uso_;
};
