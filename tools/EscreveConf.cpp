#include "tools/EscreveConf.h"

#include "connection/ConnectionInfo.h"
#include "platform/Executavel.h"
#include "platform/Texto.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Messages are written as UTF-8 literals: narrow literals of this project are Windows-1252.
std::string T(std::u8string_view texto) {
    return std::string(reinterpret_cast<const char*>(texto.data()), texto.size());
}

[[noreturn]] void Uso(const std::string& mensagem) {
    throw EFalhaConf(mensagem + T(u8"\nUse --ajuda para ver as opções."), SaidaUsoInvalido);
}

std::string MotivoDoSistema(int erro) {
    switch (erro) {
    case ENOENT:
        return T(u8"não existe");
    case EACCES:
    case EPERM:
        return T(u8"permissão negada");
    case EISDIR:
        return T(u8"é uma pasta");
    case ENOTDIR:
        return T(u8"uma parte do caminho não é uma pasta");
    case EROFS:
        return T(u8"o sistema de arquivos é somente leitura");
    case ENOSPC:
        return T(u8"não há espaço no disco");
    default:
        return MensagemDoSistema(erro);
    }
}

// A value shown to the user: control characters as "?", so that a terminal is never driven.
std::string Mostravel(std::string_view valor) {
    std::string saida;
    for (unsigned char c : valor)
        saida += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    return saida;
}

struct TOpcaoValor {
    const char* Nome;
    std::string TOpcoesConf::*Campo = nullptr;
    std::string TValoresConf::*Valor = nullptr;
};

const TOpcaoValor OpcoesComValor[] = {
    {"--pasta", &TOpcoesConf::Pasta, nullptr},
    {"--host", nullptr, &TValoresConf::DatabaseIP},
    {"--banco", nullptr, &TValoresConf::Databasename},
    {"--usuario", nullptr, &TValoresConf::Usuario},
    {"--mac", nullptr, &TValoresConf::MacAdress},
    {"--codfisica", nullptr, &TValoresConf::CodFisica},
    {"--nome", nullptr, &TValoresConf::Name},
    {"--cnpj", nullptr, &TValoresConf::Cnpj},
    {"--senha-arquivo", &TOpcoesConf::ArquivoSenha, nullptr},
};

bool LeTudo(int fd, std::string& destino) {
    char bloco[4096];
    for (;;) {
        ssize_t n = ::read(fd, bloco, sizeof bloco);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        destino.append(bloco, static_cast<size_t>(n));
        if (destino.size() > 1024 * 1024) {
            errno = EFBIG;
            return false;
        }
    }
}

void TiraUmFimDeLinha(std::string& texto) {
    if (!texto.empty() && texto.back() == '\n') {
        texto.pop_back();
        if (!texto.empty() && texto.back() == '\r')
            texto.pop_back();
    }
}

// Asks for the password at the terminal with the echo off, and reads one line.
std::string PerguntaSenha(int entrada) {
    int tty = ::open("/dev/tty", O_WRONLY | O_CLOEXEC);
    int aviso = tty >= 0 ? tty : STDERR_FILENO;
    const std::string pergunta = T(u8"Senha: ");
    ssize_t escrito = ::write(aviso, pergunta.data(), pergunta.size());
    (void)escrito;
    termios antes{};
    bool mudou = ::tcgetattr(entrada, &antes) == 0;
    if (mudou) {
        termios sem = antes;
        sem.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        sem.c_lflag |= ECHONL;
        ::tcsetattr(entrada, TCSAFLUSH, &sem);
    }
    std::string senha;
    bool ok = true;
    for (;;) {
        char c;
        ssize_t n = ::read(entrada, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (c == '\n')
            break;
        senha += c;
    }
    int erro = errno;
    if (mudou)
        ::tcsetattr(entrada, TCSAFLUSH, &antes);
    if (tty >= 0)
        ::close(tty);
    if (!ok)
        throw EFalhaConf(T(u8"Não foi possível ler a senha do terminal: ") + MotivoDoSistema(erro),
                         SaidaFalha);
    if (!senha.empty() && senha.back() == '\r')
        senha.pop_back();
    return senha;
}

EFalhaConf ArquivoExiste(const std::string& caminho) {
    return EFalhaConf(T(u8"O arquivo \"") + Mostravel(caminho) +
                          T(u8"\" já existe e não foi alterado; use --sobrescrever para "
                            u8"substituí-lo."),
                      SaidaArquivoExiste);
}

// A failed system call, with its error number.
struct TErroSistema {
    int Codigo;
};

void EscreveTudo(int fd, const std::string& texto) {
    size_t feito = 0;
    while (feito < texto.size()) {
        ssize_t n = ::write(fd, texto.data() + feito, texto.size() - feito);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw TErroSistema{errno};
        feito += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL)
        throw TErroSistema{errno};
}

mode_t ModoNovo() {
    mode_t mascara = ::umask(0);
    ::umask(mascara);
    return 0644 & ~mascara;
}

} // namespace

std::string ParaHex(std::string_view bytes) {
    static constexpr char Digitos[] = {'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string saida;
    saida.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        saida += Digitos[c >> 4];
        saida += Digitos[c & 15];
    }
    return saida;
}

std::string MontaConnectionConf(const TValoresConf& v) {
    std::string texto = std::string("[") + TConnectionInfo::Secao + "]\r\n";
    auto chave = [&](const char* nome, const std::string& valor) {
        texto += nome;
        texto += '=';
        texto += ParaHex(valor);
        texto += "\r\n";
    };
    chave("DatabaseIP", v.DatabaseIP);
    chave("MacAdress", v.MacAdress);
    chave("CodFisica", v.CodFisica);
    chave("Databasename", v.Databasename);
    chave("Usuario", v.Usuario);
    chave("Senha", v.Senha);
    chave("Name", v.Name);
    chave("Cnpj", v.Cnpj);
    return texto;
}

TOpcoesConf LeOpcoes(const std::vector<std::string>& argumentos) {
    TOpcoesConf opcoes;
    std::vector<std::string> dadas;
    auto marca = [&](const std::string& nome) {
        for (const auto& d : dadas)
            if (d == nome)
                Uso(T(u8"A opção ") + nome + T(u8" foi dada mais de uma vez."));
        dadas.push_back(nome);
    };
    for (size_t i = 0; i < argumentos.size(); ++i) {
        const std::string& arg = argumentos[i];
        if (arg == "--ajuda" || arg == "-h" || arg == "--help") {
            opcoes.Ajuda = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            Uso(T(u8"Argumento inesperado na posição ") + std::to_string(i + 1) +
                T(u8" (as opções começam com --)."));
        // "--nome=valor" or "--nome valor". Only the name is ever repeated back to the
        // user: the value might be a password typed in the wrong place.
        auto igual = arg.find('=');
        std::string nome = arg.substr(0, igual);
        std::optional<std::string> valor;
        if (igual != std::string::npos)
            valor = arg.substr(igual + 1);
        if (nome == "--senha" || nome == "--password" || nome == "--pass") {
            Uso(T(u8"A senha não é aceita na linha de comando, onde outros usuários a veem "
                  u8"(ps); use --senha-arquivo ARQUIVO ou --senha-stdin."));
        }
        if (nome == "--sobrescrever" || nome == "--senha-stdin") {
            if (valor)
                Uso(T(u8"A opção ") + nome + T(u8" não leva valor."));
            marca(nome);
            if (nome == "--sobrescrever")
                opcoes.Sobrescrever = true;
            else
                opcoes.OrigemSenha = TOrigemSenha::Entrada;
            continue;
        }
        const TOpcaoValor* opcao = nullptr;
        for (const auto& o : OpcoesComValor)
            if (nome == o.Nome)
                opcao = &o;
        if (!opcao)
            Uso(T(u8"Opção desconhecida: ") + Mostravel(nome.substr(0, 40)));
        if (!valor) {
            if (i + 1 >= argumentos.size())
                Uso(T(u8"Falta o valor da opção ") + nome + ".");
            valor = argumentos[++i];
        }
        marca(nome);
        if (opcao->Campo)
            opcoes.*(opcao->Campo) = *valor;
        else
            opcoes.Valores.*(opcao->Valor) = *valor;
        if (nome == "--senha-arquivo")
            opcoes.OrigemSenha = TOrigemSenha::Arquivo;
    }
    if (opcoes.Ajuda)
        return opcoes;
    auto dada = [&](const char* nome) {
        for (const auto& d : dadas)
            if (d == nome)
                return true;
        return false;
    };
    for (const char* obrigatoria : {"--host", "--banco", "--usuario"})
        if (!dada(obrigatoria))
            Uso(T(u8"Falta a opção ") + obrigatoria + ".");
    if (dada("--senha-arquivo") && dada("--senha-stdin"))
        Uso(T(u8"Use --senha-arquivo ou --senha-stdin, não as duas."));
    if (opcoes.OrigemSenha == TOrigemSenha::Nenhuma)
        Uso(T(u8"Falta a senha: use --senha-arquivo ARQUIVO ou --senha-stdin (ela não é "
              u8"aceita na linha de comando)."));
    return opcoes;
}

void ValidaValores(const TValoresConf& v) {
    auto limite = [](const char* opcao, const std::string& valor, size_t maximo) {
        if (valor.size() > maximo)
            Uso(T(u8"O valor de ") + opcao + T(u8" é longo demais: ") +
                std::to_string(valor.size()) + T(u8" caracteres, o programa aceita até ") +
                std::to_string(maximo) + ".");
    };
    if (v.DatabaseIP.empty())
        Uso(T(u8"O servidor (--host) não pode ficar vazio."));
    limite("--host", v.DatabaseIP, MaximoConexao);
    limite("--banco", v.Databasename, MaximoConexao);
    limite("--usuario", v.Usuario, MaximoConexao);
    if (v.Senha.size() > MaximoConexao)
        Uso(T(u8"A senha é longa demais: o programa aceita até ") + std::to_string(MaximoConexao) +
            T(u8" caracteres."));
    limite("--mac", v.MacAdress, MaximoOutros);
    limite("--codfisica", v.CodFisica, MaximoOutros);
    limite("--nome", v.Name, MaximoOutros);
    limite("--cnpj", v.Cnpj, MaximoOutros);

    // The port is what follows the one colon: the program splits it off for the
    // identification connection.
    auto doisPontos = v.DatabaseIP.find(':');
    if (doisPontos != std::string::npos) {
        std::string servidor = v.DatabaseIP.substr(0, doisPontos);
        std::string porta = v.DatabaseIP.substr(doisPontos + 1);
        int numero = 0;
        auto [p, erro] = std::from_chars(porta.data(), porta.data() + porta.size(), numero);
        bool valida = !porta.empty() && porta.size() <= 5 &&
                      porta.find_first_not_of("0123456789") == std::string::npos &&
                      erro == std::errc() && p == porta.data() + porta.size() && numero >= 1 &&
                      numero <= 65535;
        if (servidor.empty() || !valida)
            Uso(T(u8"Servidor inválido: \"") + Mostravel(v.DatabaseIP) +
                T(u8"\". Use NOME ou NOME:PORTA, com a porta de 1 a 65535."));
    }
    if (!v.CodFisica.empty()) {
        int32_t numero = 0;
        const char* fim = v.CodFisica.data() + v.CodFisica.size();
        auto [p, erro] = std::from_chars(v.CodFisica.data(), fim, numero);
        if (erro != std::errc() || p != fim)
            Uso(T(u8"--codfisica deve ser um número inteiro de -2147483648 a 2147483647: \"") +
                Mostravel(v.CodFisica.substr(0, 40)) + "\".");
    }
}

std::string LeSenha(const TOpcoesConf& opcoes, int entrada) {
    std::string senha;
    if (opcoes.OrigemSenha == TOrigemSenha::Arquivo) {
        int fd = ::open(opcoes.ArquivoSenha.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || !LeTudo(fd, senha)) {
            int erro = errno;
            if (fd >= 0)
                ::close(fd);
            throw EFalhaConf(T(u8"Não foi possível ler a senha do arquivo \"") +
                                 Mostravel(opcoes.ArquivoSenha) + "\": " + MotivoDoSistema(erro) +
                                 ".",
                             SaidaFalha);
        }
        ::close(fd);
    } else if (::isatty(entrada)) {
        return PerguntaSenha(entrada);
    } else if (!LeTudo(entrada, senha)) {
        throw EFalhaConf(T(u8"Não foi possível ler a senha da entrada padrão: ") +
                             MotivoDoSistema(errno) + ".",
                         SaidaFalha);
    }
    TiraUmFimDeLinha(senha);
    return senha;
}

std::string GravaConnectionConf(const std::string& pasta, const std::string& texto,
                                bool sobrescrever) {
    struct stat info {};
    if (::stat(pasta.c_str(), &info) != 0) {
        if (errno == ENOENT)
            throw EFalhaConf(T(u8"A pasta \"") + Mostravel(pasta) + T(u8"\" não existe."),
                             SaidaFalha);
        throw EFalhaConf(T(u8"Não foi possível usar a pasta \"") + Mostravel(pasta) +
                             "\": " + MotivoDoSistema(errno) + ".",
                         SaidaFalha);
    }
    if (!S_ISDIR(info.st_mode))
        throw EFalhaConf(T(u8"\"") + Mostravel(pasta) + T(u8"\" não é uma pasta."), SaidaFalha);
    std::string destino = pasta;
    if (destino.back() != '/')
        destino += '/';
    destino += TConnectionInfo::NomeArquivo;
    auto falha = [&](int erro) -> EFalhaConf {
        return EFalhaConf(T(u8"Não foi possível gravar \"") + Mostravel(destino) +
                              "\": " + MotivoDoSistema(erro) + ".",
                          SaidaFalha);
    };

    if (!sobrescrever) {
        int fd = ::open(destino.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                throw ArquivoExiste(destino);
            throw falha(errno);
        }
        try {
            EscreveTudo(fd, texto);
        } catch (const TErroSistema& erro) {
            ::close(fd);
            ::unlink(destino.c_str());
            throw falha(erro.Codigo);
        }
        if (::close(fd) != 0) {
            int erro = errno;
            ::unlink(destino.c_str());
            throw falha(erro);
        }
        return destino;
    }

    // A new file beside the old one, then renamed over it.
    std::string temporario = destino + ".XXXXXX";
    int fd = ::mkstemp(temporario.data());
    if (fd < 0)
        throw falha(errno);
    struct stat antigo {};
    mode_t modo = ::stat(destino.c_str(), &antigo) == 0 ? (antigo.st_mode & 07777) : ModoNovo();
    try {
        if (::fchmod(fd, modo) != 0)
            throw TErroSistema{errno};
        EscreveTudo(fd, texto);
        int fechado = ::close(fd);
        fd = -1;
        if (fechado != 0)
            throw TErroSistema{errno};
        if (::rename(temporario.c_str(), destino.c_str()) != 0)
            throw TErroSistema{errno};
    } catch (const TErroSistema& erro) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporario.c_str());
        throw falha(erro.Codigo);
    }
    return destino;
}

std::string TextoAjuda() {
    return T(
        u8"Uso: escreve-connection-conf [--pasta PASTA] --host SERVIDOR[:PORTA] --banco BANCO\n"
        u8"         --usuario USUARIO (--senha-arquivo ARQUIVO | --senha-stdin)\n"
        u8"         [--mac MAC] [--codfisica NUMERO] [--nome NOME] [--cnpj CNPJ]\n"
        u8"         [--sobrescrever]\n"
        u8"\n"
        u8"Grava o connection.conf do programa de importação, com cada valor em\n"
        u8"hexadecimal, como o programa o lê.\n"
        u8"\n"
        u8"  --pasta PASTA          pasta do programa (sem ela, a pasta deste comando,\n"
        u8"                         que a instalação põe ao lado do programa)\n"
        u8"  --host SERVIDOR[:PORTA] o servidor MySQL; a porta vale só para a conexão\n"
        u8"                         de identificação (a conexão principal usa 3306)\n"
        u8"  --banco BANCO          o banco de dados da loja\n"
        u8"  --usuario USUARIO      o usuário da conexão de identificação\n"
        u8"  --senha-arquivo ARQUIVO a senha é o conteúdo do arquivo\n"
        u8"  --senha-stdin          a senha vem da entrada padrão (num terminal, é\n"
        u8"                         pedida sem aparecer na tela)\n"
        u8"                         Um fim de linha no final da senha é descartado.\n"
        u8"  --mac, --codfisica, --nome, --cnpj   os demais valores do arquivo\n"
        u8"  --sobrescrever         substitui um connection.conf que já exista\n"
        u8"\n"
        u8"A senha nunca é aceita na linha de comando, onde outros usuários a veem.\n"
        u8"Os valores são gravados com os bytes recebidos; o programa os lê como\n"
        u8"Windows-1252.\n"
        u8"\n"
        u8"Saída: 0 gravado; 1 falha ao ler ou gravar um arquivo; 2 opção ou valor\n"
        u8"inválido; 3 o arquivo já existe (sem --sobrescrever).\n");
}

int EscreveConnectionConf(const std::vector<std::string>& argumentos, int entrada,
                          std::ostream& saida, std::ostream& erros) {
    try {
        TOpcoesConf opcoes = LeOpcoes(argumentos);
        if (opcoes.Ajuda) {
            saida << TextoAjuda();
            return SaidaOk;
        }
        // Everything that can be checked before the password is asked for.
        ValidaValores(opcoes.Valores);
        std::string pasta = opcoes.Pasta.empty() ? PastaDoExecutavel() : opcoes.Pasta;
        if (!opcoes.Sobrescrever) {
            std::error_code erro;
            auto existente = std::filesystem::path(pasta) / TConnectionInfo::NomeArquivo;
            if (std::filesystem::exists(std::filesystem::symlink_status(existente, erro)))
                throw ArquivoExiste(existente.string());
        }
        opcoes.Valores.Senha = LeSenha(opcoes, entrada);
        ValidaValores(opcoes.Valores);
        std::string arquivo =
            GravaConnectionConf(pasta, MontaConnectionConf(opcoes.Valores), opcoes.Sobrescrever);
        const TValoresConf& v = opcoes.Valores;
        std::error_code erro;
        auto completo = std::filesystem::absolute(arquivo, erro).lexically_normal();
        saida << T(u8"connection.conf gravado: ") << Mostravel(erro ? arquivo : completo.string())
              << '\n'
              << T(u8"  servidor: ") << Mostravel(v.DatabaseIP) << '\n'
              << T(u8"  banco:    ") << Mostravel(v.Databasename) << '\n'
              << T(u8"  usuário:  ") << Mostravel(v.Usuario) << '\n'
              << T(u8"  senha:    (não mostrada)") << '\n';
        return SaidaOk;
    } catch (const EFalhaConf& e) {
        erros << "escreve-connection-conf: " << e.what() << '\n';
        return e.CodigoSaida();
    } catch (const std::exception& e) {
        erros << "escreve-connection-conf: " << e.what() << '\n';
        return SaidaFalha;
    }
}
