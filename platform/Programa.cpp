// Starting another program.
#include "platform/Programa.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/Caminho.h"
#include "platform/Erro.h"
#include "platform/Executavel.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

bool EhBranco(char c) {
    return c == ' ' || c == '\t';
}

#if defined(_WIN32)
constexpr char SeparadorDeCaminhos = ';';
bool TemPasta(const std::string& nome) {
    return nome.find_first_of("\\/:") != std::string::npos;
}
#else
constexpr char SeparadorDeCaminhos = ':';
bool TemPasta(const std::string& nome) {
    return nome.find('/') != std::string::npos;
}
#endif

bool EhExecutavel(const std::filesystem::path& caminho) {
    if (!ExisteArquivo(caminho.string()))
        return false;
#if defined(_WIN32)
    return true;
#else
    return ::access(caminho.c_str(), X_OK) == 0;
#endif
}

std::string Procura(const std::string& nome, const std::string& pastaDoPrograma,
                    const std::string& pastaAtual, const std::string& caminhos) {
    namespace fs = std::filesystem;
    if (nome.empty())
        return std::string();
    if (TemPasta(nome)) {
        fs::path caminho(nome);
        if (caminho.is_relative() && !pastaAtual.empty())
            caminho = fs::path(pastaAtual) / caminho;
        return EhExecutavel(caminho) ? caminho.lexically_normal().string() : std::string();
    }
    auto tenta = [&](const std::string& pasta) -> std::string {
        fs::path caminho = fs::path(pasta) / nome;
        return EhExecutavel(caminho) ? caminho.lexically_normal().string() : std::string();
    };
    std::string achado;
    if (!pastaDoPrograma.empty() && !(achado = tenta(pastaDoPrograma)).empty())
        return achado;
    if (!pastaAtual.empty() && !(achado = tenta(pastaAtual)).empty())
        return achado;
    size_t inicio = 0;
    while (inicio <= caminhos.size()) {
        size_t fim = caminhos.find(SeparadorDeCaminhos, inicio);
        if (fim == std::string::npos)
            fim = caminhos.size();
        std::string pasta = caminhos.substr(inicio, fim - inicio);
        if (pasta.empty())
            pasta = pastaAtual;
        if (!pasta.empty() && !(achado = tenta(pasta)).empty())
            return achado;
        inicio = fim + 1;
    }
    return std::string();
}

#if !defined(_WIN32)
bool TerminaComExe(const std::string& nome) {
    if (nome.size() <= 4)
        return false;
    std::string_view fim = std::string_view(nome).substr(nome.size() - 4);
    auto minuscula = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return fim[0] == '.' && minuscula(fim[1]) == 'e' && minuscula(fim[2]) == 'x' &&
           minuscula(fim[3]) == 'e';
}

void FechaDescritoresDesde(int primeiro) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    ::closefrom(primeiro);
#else
    long maximo = ::sysconf(_SC_OPEN_MAX);
    if (maximo < 0 || maximo > 65536)
        maximo = 65536;
    for (int fd = primeiro; fd < maximo; ++fd)
        ::close(fd);
#endif
}

// Double fork: the middle process ends at once and is reaped here, so the program runs as
// an orphan adopted by the system and leaves no zombie behind when it ends. A pipe closed on
// exec tells whether the program started: it reaches end of file when the exec succeeds, and
// carries the exec's errno when it fails.
bool IniciaDesacoplado(const std::string& caminho, const TLinhaDeComando& comando) {
    std::vector<std::string> argumentos;
    argumentos.reserve(comando.Argumentos.size() + 1);
    argumentos.push_back(comando.Programa);
    argumentos.insert(argumentos.end(), comando.Argumentos.begin(), comando.Argumentos.end());
    std::vector<char*> argv;
    argv.reserve(argumentos.size() + 1);
    for (std::string& a : argumentos)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int aviso[2];
    if (::pipe2(aviso, O_CLOEXEC) != 0)
        return false;
    pid_t meio = ::fork();
    if (meio < 0) {
        ::close(aviso[0]);
        ::close(aviso[1]);
        return false;
    }
    if (meio == 0) {
        // Only async-signal-safe calls from here on.
        ::setsid();
        pid_t programa = ::fork();
        if (programa < 0) {
            int codigo = errno;
            (void)!::write(aviso[1], &codigo, sizeof codigo);
        }
        if (programa != 0)
            ::_exit(0);
        int nulo = ::open("/dev/null", O_RDWR);
        if (nulo >= 0) {
            ::dup2(nulo, 0);
            ::dup2(nulo, 1);
            ::dup2(nulo, 2);
        }
        // The pipe's end becomes descriptor 3, still closed on exec, and the rest are closed.
        if (aviso[1] != 3) {
            ::dup2(aviso[1], 3);
            ::fcntl(3, F_SETFD, FD_CLOEXEC);
        }
        FechaDescritoresDesde(4);
        sigset_t nenhum;
        sigemptyset(&nenhum);
        ::sigprocmask(SIG_SETMASK, &nenhum, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::signal(SIGCHLD, SIG_DFL);
        ::execv(caminho.c_str(), argv.data());
        int codigo = errno;
        (void)!::write(3, &codigo, sizeof codigo);
        ::_exit(127);
    }
    ::close(aviso[1]);
    int estado = 0;
    while (::waitpid(meio, &estado, 0) < 0 && errno == EINTR) {
    }
    int codigo = 0;
    ssize_t lidos;
    while ((lidos = ::read(aviso[0], &codigo, sizeof codigo)) < 0 && errno == EINTR) {
    }
    ::close(aviso[0]);
    return lidos == 0;
}
#endif

} // namespace

TLinhaDeComando DivideLinhaDeComando(const std::string& linhaDeComando) {
    TLinhaDeComando resultado;
    const std::string& s = linhaDeComando;
    size_t i = 0;

    // The program name: quotes only group, there are no escapes in it.
    bool entreAspas = false;
    while (i < s.size() && (entreAspas || !EhBranco(s[i]))) {
        if (s[i] == '"')
            entreAspas = !entreAspas;
        else
            resultado.Programa += s[i];
        ++i;
    }

    for (;;) {
        while (i < s.size() && EhBranco(s[i]))
            ++i;
        if (i >= s.size())
            break;
        std::string argumento;
        entreAspas = false;
        while (i < s.size()) {
            size_t barras = 0;
            while (i < s.size() && s[i] == '\\') {
                ++barras;
                ++i;
            }
            if (i < s.size() && s[i] == '"') {
                argumento.append(barras / 2, '\\');
                if (barras % 2 == 1) {
                    argumento += '"';
                    ++i;
                } else if (entreAspas && i + 1 < s.size() && s[i + 1] == '"') {
                    argumento += '"';
                    i += 2;
                } else {
                    entreAspas = !entreAspas;
                    ++i;
                }
                continue;
            }
            argumento.append(barras, '\\');
            if (i >= s.size() || (!entreAspas && EhBranco(s[i])))
                break;
            argumento += s[i];
            ++i;
        }
        resultado.Argumentos.push_back(std::move(argumento));
    }
    return resultado;
}

std::string ProcuraPrograma(const std::string& programa, const std::string& pastaDoPrograma,
                            const std::string& pastaAtual, const std::string& caminhos) {
    std::string achado = Procura(programa, pastaDoPrograma, pastaAtual, caminhos);
#if !defined(_WIN32)
    if (achado.empty() && TerminaComExe(programa))
        achado =
            Procura(programa.substr(0, programa.size() - 4), pastaDoPrograma, pastaAtual, caminhos);
#endif
    return achado;
}

bool WinExec(const std::string& linhaDeComando, int showState) {
#if defined(_WIN32)
    // Values above 31 mean the program was started.
    return ::WinExec(linhaDeComando.c_str(), static_cast<UINT>(showState)) > 31;
#else
    (void)showState; // no windows to maximise here
    TLinhaDeComando comando = DivideLinhaDeComando(linhaDeComando);
    std::string pastaDoPrograma;
    try {
        pastaDoPrograma = PastaDoExecutavel();
    } catch (const EErro&) {
        // an unknown folder is simply not searched
    }
    std::error_code erro;
    std::string pastaAtual = std::filesystem::current_path(erro).string();
    const char* caminhos = std::getenv("PATH");
    std::string caminho =
        ProcuraPrograma(comando.Programa, pastaDoPrograma, pastaAtual,
                        caminhos ? std::string(caminhos) : std::string("/bin:/usr/bin"));
    return !caminho.empty() && IniciaDesacoplado(caminho, comando);
#endif
}

std::string ArgumentoNaLinhaDeComando(const std::string& argumento) {
    if (!argumento.empty() && argumento.find_first_of(" \t\"") == std::string::npos)
        return argumento;
    std::string texto = "\"";
    size_t barras = 0;
    for (char c : argumento) {
        if (c == '\\') {
            ++barras;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        texto.append(c == '"' ? 2 * barras + 1 : barras, '\\');
        barras = 0;
        texto += c;
    }
    texto.append(2 * barras, '\\'); // before the closing quote
    return texto + "\"";
}
