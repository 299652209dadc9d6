#include "platform/Processos.h"

#include "platform/Erro.h"

#include <cstring>
#include <utility>

#if defined(_WIN32)
#include "platform/Programa.h"

#include <windows.h>

namespace {

// The system's text (Windows-1252) as the wide text CreateProcessW takes.
std::wstring Largo(const std::string& texto) {
    if (texto.empty())
        return std::wstring();
    const int n =
        MultiByteToWideChar(1252, 0, texto.data(), static_cast<int>(texto.size()), nullptr, 0);
    std::wstring largo(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1252, 0, texto.data(), static_cast<int>(texto.size()), largo.data(), n);
    return largo;
}

// A file the child inherits as a standard stream.
HANDLE Herdado(const std::wstring& nome, DWORD acesso, DWORD criacao) {
    SECURITY_ATTRIBUTES atributos{sizeof atributos, nullptr, TRUE};
    return CreateFileW(nome.c_str(), acesso, FILE_SHARE_READ | FILE_SHARE_WRITE, &atributos,
                       criacao, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string MensagemDoSistema(DWORD erro) {
    char texto[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, erro, 0,
                   texto, sizeof texto, nullptr);
    std::string s(texto);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

} // namespace

TFilho TFilho::Inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                      const std::string& saida, const std::string& erros) {
    std::string linha = ArgumentoNaLinhaDeComando(programa);
    for (const std::string& a : argumentos)
        linha += " " + ArgumentoNaLinhaDeComando(a);
    std::wstring linhaLarga = Largo(linha);

    HANDLE entrada = Herdado(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = Herdado(Largo(saida), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = Herdado(Largo(erros), GENERIC_WRITE, CREATE_ALWAYS);
    const auto fecha = [&] {
        for (HANDLE h : {entrada, out, err})
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
    };
    if (entrada == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE ||
        err == INVALID_HANDLE_VALUE) {
        const DWORD erro = GetLastError();
        fecha();
        throw EErro("N\xE3o foi poss\xEDvel criar " + saida + ": " + MensagemDoSistema(erro));
    }
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESTDHANDLES;
    inicio.hStdInput = entrada;
    inicio.hStdOutput = out;
    inicio.hStdError = err;
    PROCESS_INFORMATION info{};
    const std::wstring caminho = Largo(programa);
    const BOOL ok = CreateProcessW(caminho.c_str(), linhaLarga.data(), nullptr, nullptr, TRUE,
                                   CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &inicio, &info);
    const DWORD erro = GetLastError();
    fecha();
    if (!ok)
        throw EErro("N\xE3o foi poss\xEDvel iniciar " + programa + ": " + MensagemDoSistema(erro));
    CloseHandle(info.hThread);
    TFilho filho;
    filho.processo_ = info.hProcess;
    filho.id_ = info.dwProcessId;
    return filho;
}

TFilho::TFilho(TFilho&& outro) noexcept
    : processo_(std::exchange(outro.processo_, nullptr)), id_(outro.id_), codigo_(outro.codigo_),
      uso_(outro.uso_) {}

TFilho& TFilho::operator=(TFilho&& outro) noexcept {
    if (this != &outro) {
        this->~TFilho();
        processo_ = std::exchange(outro.processo_, nullptr);
        id_ = outro.id_;
        codigo_ = outro.codigo_;
        uso_ = outro.uso_;
    }
    return *this;
}

TFilho::~TFilho() {
    if (!processo_)
        return;
    if (!codigo_) {
        TerminateProcess(processo_, 1);
        WaitForSingleObject(processo_, INFINITE);
    }
    CloseHandle(processo_);
    processo_ = nullptr;
}

std::optional<int> TFilho::Terminou() {
    if (codigo_ || !processo_)
        return codigo_;
    if (WaitForSingleObject(processo_, 0) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD codigo = 0;
    GetExitCodeProcess(processo_, &codigo);
    FILETIME criado, fim, nucleo, usuario;
    if (GetProcessTimes(processo_, &criado, &fim, &nucleo, &usuario)) {
        auto segundos = [](const FILETIME& t) {
            return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                       t.dwLowDateTime) /
                   1e7;
        };
        uso_.SegundosCpu = segundos(nucleo) + segundos(usuario);
    }
    codigo_ = static_cast<int>(codigo);
    return codigo_;
}

void TFilho::PedeParada() {
    if (processo_ && !codigo_)
        GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, id_);
}

void TFilho::Mata() {
    if (processo_ && !codigo_)
        TerminateProcess(processo_, 1);
}

#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <cerrno>

namespace {

int Abre(const std::string& nome, int modo) {
    return ::open(nome.c_str(), modo | O_CLOEXEC, 0644);
}

} // namespace

TFilho TFilho::Inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                      const std::string& saida, const std::string& erros) {
    std::vector<std::string> textos = {programa};
    textos.insert(textos.end(), argumentos.begin(), argumentos.end());
    std::vector<char*> argv;
    for (std::string& t : textos)
        argv.push_back(t.data());
    argv.push_back(nullptr);

    const int entrada = Abre("/dev/null", O_RDONLY);
    const int out = Abre(saida, O_WRONLY | O_CREAT | O_TRUNC);
    const int err = Abre(erros, O_WRONLY | O_CREAT | O_TRUNC);
    int aviso[2] = {-1, -1}; // tells the caller why an exec failed; closed by a good one
    const bool abertos = entrada >= 0 && out >= 0 && err >= 0 && ::pipe2(aviso, O_CLOEXEC) == 0;
    const int erroAbertura = errno;
    const auto fecha = [&] {
        for (int fd : {entrada, out, err, aviso[0], aviso[1]})
            if (fd >= 0)
                ::close(fd);
    };
    if (!abertos) {
        fecha();
        throw EErro("N\xE3o foi poss\xEDvel preparar " + programa + ": " +
                    std::strerror(erroAbertura));
    }
    const pid_t pai = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe after fork: the streams, the group, the signals, then exec.
        ::setpgid(0, 0);
#if defined(__linux__)
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != pai)
            ::_exit(127);
#endif
        sigset_t nenhum;
        sigemptyset(&nenhum);
        ::sigprocmask(SIG_SETMASK, &nenhum, nullptr);
        ::dup2(entrada, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(programa.c_str(), argv.data());
        const int e = errno;
        [[maybe_unused]] auto n = ::write(aviso[1], &e, sizeof e);
        ::_exit(127);
    }
    (void)pai;
    const int erroFork = errno;
    ::close(aviso[1]);
    aviso[1] = -1;
    if (pid < 0) {
        fecha();
        throw EErro("N\xE3o foi poss\xEDvel iniciar " + programa + ": " + std::strerror(erroFork));
    }
    int e = 0;
    ssize_t lidos;
    do
        lidos = ::read(aviso[0], &e, sizeof e);
    while (lidos < 0 && errno == EINTR);
    fecha();
    TFilho filho;
    filho.pid_ = pid;
    if (lidos == static_cast<ssize_t>(sizeof e)) {
        filho.Terminou();
        while (!filho.Terminou())
            ::usleep(1000);
        throw EErro("N\xE3o foi poss\xEDvel iniciar " + programa + ": " + std::strerror(e));
    }
    return filho;
}

TFilho::TFilho(TFilho&& outro) noexcept
    : pid_(std::exchange(outro.pid_, -1)), codigo_(outro.codigo_), uso_(outro.uso_) {}

TFilho& TFilho::operator=(TFilho&& outro) noexcept {
    if (this != &outro) {
        this->~TFilho();
        pid_ = std::exchange(outro.pid_, -1);
        codigo_ = outro.codigo_;
        uso_ = outro.uso_;
    }
    return *this;
}

TFilho::~TFilho() {
    if (pid_ <= 0 || codigo_)
        return;
    ::kill(pid_, SIGKILL);
    int status;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::optional<int> TFilho::Terminou() {
    if (codigo_ || pid_ <= 0)
        return codigo_;
    int status = 0;
    rusage uso{};
    const pid_t r = ::wait4(pid_, &status, WNOHANG, &uso);
    if (r != pid_)
        return std::nullopt;
    uso_.SegundosCpu = static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
                       static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    uso_.MemoriaKb = uso.ru_maxrss;
    codigo_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return codigo_;
}

void TFilho::PedeParada() {
    if (pid_ > 0 && !codigo_)
        ::kill(pid_, SIGTERM);
}

void TFilho::Mata() {
    if (pid_ > 0 && !codigo_)
        ::kill(pid_, SIGKILL);
}

#endif
