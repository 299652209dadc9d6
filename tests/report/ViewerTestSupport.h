#pragma once
// What the tests that start the stand-in viewer (tests/support/FakeViewer.cpp) share: its records,
// waiting for them with a deadline, and watching the processes this test program starts.
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/prctl.h>
#include <sys/wait.h>

#include "Espera.h"
#include "TempDir.h"

// One start of the stand-in viewer, as it recorded it.
struct TRegistroViewer {
    std::string Programa;
    std::vector<std::string> Argumentos;
    std::string Pasta;
};

// The complete records of a log, and whether "done" lines follow them.
struct TLogViewer {
    std::vector<TRegistroViewer> Registros;
    int Terminados = 0;
};

inline TLogViewer LeLogViewer(const std::filesystem::path& arquivo) {
    TLogViewer log;
    std::error_code erro;
    if (!std::filesystem::exists(arquivo, erro))
        return log;
    std::istringstream entrada(ReadAll(arquivo));
    std::string linha;
    std::optional<TRegistroViewer> atual;
    while (std::getline(entrada, linha)) {
        if (linha == "start")
            atual.emplace();
        else if (linha == "done")
            ++log.Terminados;
        else if (linha == "end" && atual)
            log.Registros.push_back(*atual), atual.reset();
        else if (atual && linha.rfind("prog=", 0) == 0)
            atual->Programa = linha.substr(5);
        else if (atual && linha.rfind("arg=", 0) == 0)
            atual->Argumentos.push_back(linha.substr(4));
        else if (atual && linha.rfind("cwd=", 0) == 0)
            atual->Pasta = linha.substr(4);
    }
    return log;
}

// Sets an environment variable for the object's lifetime.
class TVariavelDeAmbiente {
public:
    TVariavelDeAmbiente(std::string nome, const std::string& valor) : nome_(std::move(nome)) {
        ::setenv(nome_.c_str(), valor.c_str(), 1);
    }
    ~TVariavelDeAmbiente() { ::unsetenv(nome_.c_str()); }
    TVariavelDeAmbiente(const TVariavelDeAmbiente&) = delete;
    TVariavelDeAmbiente& operator=(const TVariavelDeAmbiente&) = delete;

private:
    std::string nome_;
};

// True when this process has no child processes at all, running or ended.
inline bool SemFilhos() {
    int estado = 0;
    errno = 0;
    return ::waitpid(-1, &estado, WNOHANG) == -1 && errno == ECHILD;
}

// Reaps ended children until none is left or the time is up; returns how many it reaped.
inline int ColheFilhos(std::chrono::milliseconds limite = std::chrono::seconds(20)) {
    int colhidos = 0;
    EsperaAte(
        [&] {
            int estado = 0;
            for (;;) {
                pid_t pid = ::waitpid(-1, &estado, WNOHANG);
                if (pid > 0) {
                    ++colhidos;
                    continue;
                }
                return pid < 0; // no children left
            }
        },
        limite);
    return colhidos;
}

// While it lives, processes orphaned below this one are adopted by it instead of by the
// system, so that a test can see every program started, even detached ones.
class TAdotaDescendentes {
public:
    TAdotaDescendentes() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
    ~TAdotaDescendentes() {
        ColheFilhos();
        ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    }
    TAdotaDescendentes(const TAdotaDescendentes&) = delete;
    TAdotaDescendentes& operator=(const TAdotaDescendentes&) = delete;
};
