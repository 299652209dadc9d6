#include "tools/importa/Lojas.h"

#include "import/ImportaOfertas.h"
#include "import/OfertaArquivo.h"
#include "platform/Caminho.h"
#include "platform/Console.h"
#include "platform/Erro.h"
#include "platform/Executavel.h"
#include "platform/PedidoParada.h"
#include "platform/Processos.h"
#include "platform/Windows1252.h"
#include "tools/importa/ImportaCaderno.h"
#include "tools/importa/JanelaConsole.h"
#include "tools/importa/LeituraJson.h"
#include "tools/importa/ResumoImporta.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;
using Membros = std::map<std::string, TValorJson>;

void Diz(std::ostream& erros, const std::string& texto) {
    erros << "importa-caderno: " << TextoParaConsole(texto) << '\n' << std::flush;
}

std::string Le(const fs::path& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// One store of the rollout.
struct TLoja {
    std::string Nome; // the .conf file's name without ".conf", as the file system has it
    fs::path Conf;
    fs::path Relatorio;
    int Tentativas = 0;
    Relogio::time_point NaoAntes{};
    std::optional<int> Codigo; // of its last try; none while it was never started
    bool Parada = false;       // asked to stop (the first Ctrl+C)
    bool Morta = false;        // ended at once (the second)
    double Segundos = 0;       // its last try's
    TUsoDoFilho Uso;
    std::string Json;              // its command's summary, as written
    std::optional<Membros> Resumo; // ... and as read
    std::string Erros;             // what its command said on standard error

    // A member of the summary; nullopt when there is none or it is null.
    std::optional<std::string> Campo(const std::string& nome) const {
        if (!Resumo)
            return std::nullopt;
        auto i = Resumo->find(nome);
        if (i == Resumo->end() || i->second.Tipo == TValorJson::Tipo::Nulo)
            return std::nullopt;
        return i->second.Texto;
    }
};

// The end of a command asked to stop before it watched for a stop (before it checked its
// inputs): SIGTERM's default action, or Ctrl+Break's on Windows (STATUS_CONTROL_C_EXIT).
bool PararSemVigia(int codigo) {
    return codigo == 128 + 15 || codigo == static_cast<int>(0xC000013AU);
}

// The store's outcome for the rollout's code: its command's, or what its end says of it.
int Desfecho(const TLoja& l) {
    if (!l.Codigo)
        return SaidaParada; // never started: a stop came first
    const int c = *l.Codigo;
    if (c >= 0 && c <= 4 && (l.Resumo || c == SaidaRecusada))
        return c;
    if (l.Parada && !l.Morta && PararSemVigia(c))
        return SaidaParada; // stopped before its command watched for it: nothing written
    return SaidaFalhou;     // a crash or a kill: what it wrote is unknown
}

// The result column: short, in the system's text.
std::string Resultado(const TLoja& l, bool verificar) {
    const std::string caderno = l.Campo("caderno").value_or("");
    if (!l.Codigo)
        return "n\xE3o iniciada";
    const int c = *l.Codigo;
    if (c == SaidaConcluida && l.Resumo) {
        if (auto n = l.Campo("ja_tem.caderno"))
            return "j\xE1 tem o caderno " + *n + " (" + l.Campo("ja_tem.produtos").value_or("?") +
                   " produtos)";
        return verificar ? "verificada" : "importada";
    }
    if (c == SaidaRecusada)
        return "recusada";
    if (c == SaidaInacessivel && l.Resumo)
        return "inacess\xEDvel (" + std::to_string(l.Tentativas) +
               (l.Tentativas == 1 ? " tentativa)" : " tentativas)");
    if (c == SaidaParada && l.Resumo) {
        if (caderno.empty())
            return "interrompida antes do caderno";
        return "interrompida ap\xF3s a linha " +
               std::to_string(std::stoll(l.Campo("processadas").value_or("0")) + 1);
    }
    if (c == SaidaFalhou && l.Resumo) {
        if (auto linha = l.Campo("linha"))
            return "falhou na linha " + *linha;
        return caderno.empty() ? "falhou no caderno" : "falhou no relat\xF3rio";
    }
    if (l.Morta)
        return "encerrada \xE0 for\xE7"
               "a";
    if (l.Parada && PararSemVigia(c))
        return "interrompida antes do caderno";
    if (c > 128)
        return "terminou com o sinal " + std::to_string(c - 128);
    return "terminou com o c\xF3"
           "digo " +
           std::to_string(c);
}

// What went wrong, for the lines under the table: the command's message, or its last words.
std::optional<std::string> Erro(const TLoja& l) {
    if (auto e = l.Campo("erro"))
        return DeUtf8(*e);
    if (l.Codigo && !l.Resumo) {
        std::string t = ArgumentoParaTexto(l.Erros);
        while (!t.empty() && (t.back() == '\n' || t.back() == '\r'))
            t.pop_back();
        if (!t.empty())
            return t;
    }
    return std::nullopt;
}

std::string Numero(double valor, int casas) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%.*f", casas, valor);
    return texto;
}

class TRollout {
public:
    TRollout(const TOpcoesImporta& o, std::ostream& saida, std::ostream& erros, bool terminal)
        : o_(o), saida_(saida), erros_(erros), terminal_(terminal) {}

    int Executa();

private:
    void ListaLojas();
    std::vector<std::string> Argumentos(const TLoja& l) const;
    void Inicia(size_t i);
    void Recolhe(size_t i);
    void Progresso(bool fim);
    int Codigo() const;
    void Tabela();
    std::string Json(int codigo) const;
    // Refused before any store was tried.
    int Recusa(const std::string& mensagem);

    const TOpcoesImporta& o_;
    std::ostream& saida_;
    std::ostream& erros_;
    bool terminal_;
    std::vector<TLoja> lojas_;
    fs::path temporaria_;
    std::map<size_t, TFilho> rodando_;
    std::map<size_t, Relogio::time_point> inicios_;
    std::deque<size_t> fila_;
    Relogio::time_point inicio_ = Relogio::now();
    size_t terminadas_ = 0;
    unsigned long long linhas_ = 0; // data lines the ended stores went through
    size_t largura_ = 0;            // of the progress line last drawn
    Relogio::time_point desenho_{}; // ... and when
};

int TRollout::Recusa(const std::string& mensagem) {
    Diz(erros_, mensagem);
    if (o_.Json)
        saida_ << "{\"arquivo\": " << TextoJson(CaminhoParaUtf8(o_.Arquivo))
               << ", \"lojas\": [], \"saida\": 1, \"erro\": " << TextoJson(ParaUtf8(mensagem))
               << "}\n";
    saida_ << std::flush;
    return SaidaRecusada;
}

void TRollout::ListaLojas() {
    std::map<std::string, fs::path> porNome;
    for (const std::string& pasta : o_.Lojas) {
        std::error_code erro;
        if (!fs::is_directory(pasta, erro))
            throw EErro("A pasta de lojas \"" + ArgumentoParaTexto(pasta) + "\" n\xE3o existe.");
        std::vector<fs::path> confs;
        for (fs::directory_iterator i(pasta, erro), fim; !erro && i != fim; i.increment(erro)) {
            std::string extensao = i->path().extension().string();
            std::transform(extensao.begin(), extensao.end(), extensao.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            std::error_code e2;
            if (extensao == ".conf" && fs::is_regular_file(i->path(), e2))
                confs.push_back(i->path());
        }
        if (erro)
            throw EErro("N\xE3o foi poss\xEDvel ler a pasta de lojas \"" +
                        ArgumentoParaTexto(pasta) + "\".");
        for (const fs::path& c : confs) {
            const std::string nome = c.stem().string();
            auto [onde, nova] = porNome.emplace(nome, c);
            if (!nova)
                throw EErro("Duas lojas com o mesmo nome \"" + ArgumentoParaTexto(nome) +
                            "\": " + ArgumentoParaTexto(onde->second.string()) + " e " +
                            ArgumentoParaTexto(c.string()) + ".");
        }
    }
    if (porNome.empty())
        throw EErro("Nenhum arquivo .conf nas pastas de lojas.");
    for (const auto& [nome, conf] : porNome) {
        TLoja l;
        l.Nome = nome;
        l.Conf = conf;
        l.Relatorio = fs::path(o_.Relatorios) / (nome + ".txt");
        lojas_.push_back(std::move(l));
    }
}

std::vector<std::string> TRollout::Argumentos(const TLoja& l) const {
    std::vector<std::string> a = {
        "--nome", o_.NomeArgumento, "--inicio",    o_.InicioArgumento,   "--fim", o_.FimArgumento,
        "--conf", l.Conf.string(),  "--relatorio", l.Relatorio.string(), "--json"};
    if (!o_.Promocao)
        a.push_back("--sem-preco-promocional");
    if (o_.Verificar)
        a.push_back("--verificar");
    else if (!o_.ImportarDeNovo)
        a.push_back("--pular-se-ja-tem");
    a.push_back("--");
    a.push_back(o_.Arquivo);
    return a;
}

void TRollout::Inicia(size_t i) {
    TLoja& l = lojas_[i];
    ++l.Tentativas;
    const fs::path base = temporaria_ / std::to_string(i);
    try {
        rodando_.emplace(i, TFilho::Inicia(CaminhoDoExecutavel(), Argumentos(l),
                                           base.string() + ".saida", base.string() + ".erros"));
        inicios_[i] = Relogio::now();
    } catch (const EErro& e) {
        // Not started at all: said as its command would have, nothing written.
        l.Codigo = SaidaFalhou;
        l.Erros = e.Message();
        ++terminadas_;
    }
}

void TRollout::Recolhe(size_t i) {
    TLoja& l = lojas_[i];
    TFilho& filho = rodando_.at(i);
    l.Codigo = *filho.Terminou();
    l.Uso = filho.Uso();
    l.Segundos = std::chrono::duration<double>(Relogio::now() - inicios_[i]).count();
    rodando_.erase(i);
    const fs::path base = temporaria_ / std::to_string(i);
    l.Json = Le(base.string() + ".saida");
    l.Erros = Le(base.string() + ".erros");
    l.Resumo = LeObjetoJson(l.Json);
    if (!l.Resumo)
        l.Json.clear();
    while (!l.Json.empty() && (l.Json.back() == '\n' || l.Json.back() == '\r'))
        l.Json.pop_back();
    const bool deNovo =
        *l.Codigo == SaidaInacessivel && l.Resumo && l.Tentativas < o_.Tentativas && !l.Parada;
    if (deNovo) {
        // After the others, and after a pause that grows with each try.
        l.NaoAntes = Relogio::now() + PausaEntreTentativas * l.Tentativas;
        fila_.push_back(i);
    } else {
        ++terminadas_;
        linhas_ += std::stoull(l.Campo("processadas").value_or("0"));
    }
    if (terminal_) {
        Progresso(true);
        std::string linha = "loja " + ArgumentoParaTexto(l.Nome) + ": " +
                            Resultado(l, o_.Verificar) + " (" + Numero(l.Segundos, 1) + " s)";
        if (deNovo)
            linha += ", nova tentativa em " +
                     std::to_string((PausaEntreTentativas * l.Tentativas).count()) + " s";
        erros_ << TextoParaConsole(linha) << '\n' << std::flush;
    }
}

void TRollout::Progresso(bool apaga) {
    if (!terminal_)
        return;
    if (apaga) {
        if (largura_)
            erros_ << '\r' << std::string(largura_, ' ') << '\r' << std::flush;
        largura_ = 0;
        return;
    }
    const auto agora = Relogio::now();
    if (agora - desenho_ < std::chrono::milliseconds(100))
        return; // at most ten times a second
    desenho_ = agora;
    const double segundos = std::chrono::duration<double>(agora - inicio_).count();
    const std::string linha =
        std::to_string(terminadas_) + " de " + std::to_string(lojas_.size()) + " lojas, " +
        std::to_string(rodando_.size()) + " em andamento, " +
        Numero(segundos > 0 ? static_cast<double>(linhas_) / segundos : 0, 0) + " linhas/s";
    erros_ << '\r' << linha;
    if (linha.size() < largura_)
        erros_ << std::string(largura_ - linha.size(), ' ');
    erros_ << std::flush;
    largura_ = linha.size();
}

int TRollout::Codigo() const {
    int pior = SaidaConcluida;
    auto peso = [](int c) {
        switch (c) {
        case SaidaFalhou:
            return 4;
        case SaidaInacessivel:
            return 3;
        case SaidaParada:
            return 2;
        case SaidaRecusada:
            return 1;
        default:
            return 0;
        }
    };
    for (const TLoja& l : lojas_)
        if (peso(Desfecho(l)) > peso(pior))
            pior = Desfecho(l);
    return pior;
}

void TRollout::Tabela() {
    const std::vector<std::string> titulos = {"Loja",
                                              "C\xF3"
                                              "digo",
                                              "Filial",
                                              "Resultado",
                                              "Encontrados",
                                              "N\xE3o encontrados",
                                              "Caderno",
                                              "Segundos",
                                              "Relat\xF3rio"};
    std::vector<std::vector<std::string>> linhas;
    for (const TLoja& l : lojas_) {
        linhas.push_back(
            {ArgumentoParaTexto(l.Nome), DeUtf8(l.Campo("loja").value_or("")),
             l.Campo("filial").value_or(""), Resultado(l, o_.Verificar),
             l.Campo("encontrados").value_or(""), l.Campo("nao_encontrados").value_or(""),
             l.Campo("caderno").value_or(l.Campo("ja_tem.caderno").value_or("")),
             l.Codigo ? Numero(l.Segundos, 1) : "", DeUtf8(l.Campo("relatorio").value_or(""))});
    }
    std::vector<size_t> larguras(titulos.size());
    for (size_t c = 0; c < titulos.size(); ++c) {
        larguras[c] = titulos[c].size();
        for (const auto& linha : linhas)
            larguras[c] = std::max(larguras[c], linha[c].size());
    }
    // Numbers to the right, texts to the left.
    const std::vector<bool> direita = {false, false, true, false, true, true, true, true, false};
    auto escreve = [&](const std::vector<std::string>& campos) {
        std::string t;
        for (size_t c = 0; c < campos.size(); ++c) {
            const std::string espaco(larguras[c] - campos[c].size(), ' ');
            t +=
                direita[c] ? espaco + campos[c] : campos[c] + (c + 1 < campos.size() ? espaco : "");
            if (c + 1 < campos.size())
                t += "  ";
        }
        while (!t.empty() && t.back() == ' ')
            t.pop_back();
        saida_ << TextoParaConsole(t) << '\n';
    };
    escreve(titulos);
    for (const auto& linha : linhas)
        escreve(linha);
    bool primeiro = true;
    for (const TLoja& l : lojas_) {
        const auto erro = Erro(l);
        if (!erro || Desfecho(l) == SaidaConcluida)
            continue;
        if (primeiro)
            saida_ << '\n';
        primeiro = false;
        std::string t = "loja " + ArgumentoParaTexto(l.Nome) + ": " + *erro;
        if (Desfecho(l) == SaidaFalhou && l.Campo("caderno"))
            t += " (o caderno " + *l.Campo("caderno") + " e as linhas anteriores ficam gravados)";
        saida_ << TextoParaConsole(t) << '\n';
    }
}

std::string TRollout::Json(int codigo) const {
    std::string t = "{\"arquivo\": " + TextoJson(CaminhoParaUtf8(o_.Arquivo)) +
                    ", \"nome\": " + TextoJson(ParaUtf8(o_.Nome)) +
                    ", \"verificacao\": " + (o_.Verificar ? "true" : "false") + ", \"lojas\": [";
    for (size_t i = 0; i < lojas_.size(); ++i) {
        const TLoja& l = lojas_[i];
        const auto erro = Erro(l);
        t += std::string(i ? ", " : "") + "{\"loja\": " + TextoJson(CaminhoParaUtf8(l.Nome)) +
             ", \"conf\": " + TextoJson(CaminhoParaUtf8(l.Conf.string())) +
             ", \"saida\": " + (l.Codigo ? std::to_string(Desfecho(l)) : "null") +
             ", \"resultado\": " + TextoJson(ParaUtf8(Resultado(l, o_.Verificar))) +
             ", \"tentativas\": " + std::to_string(l.Tentativas) +
             ", \"segundos\": " + Numero(l.Segundos, 3) +
             ", \"cpu_segundos\": " + Numero(l.Uso.SegundosCpu, 3) +
             ", \"memoria_kb\": " + std::to_string(l.Uso.MemoriaKb) +
             ", \"erro\": " + (erro ? TextoJson(ParaUtf8(*erro)) : "null") +
             ", \"resumo\": " + (l.Json.empty() ? "null" : l.Json) + "}";
    }
    return t + "], \"saida\": " + std::to_string(codigo) + ", \"erro\": null}\n";
}

int TRollout::Executa() {
    // What every store would refuse is refused once, before any store is tried.
    try {
        TJanelaConsole janela(o_, erros_, false);
        if (ExisteArquivo(o_.Arquivo))
            CarregaLinhas(o_.Arquivo, janela.Linhas);
        if (!EntradasDaImportacao(janela))
            return Recusa(janela.UltimaMensagem());
        ListaLojas();
        std::error_code erro;
        fs::create_directories(o_.Relatorios, erro);
        if (!fs::is_directory(o_.Relatorios))
            throw EErro("N\xE3o foi poss\xEDvel criar a pasta dos relat\xF3rios \"" +
                        ArgumentoParaTexto(o_.Relatorios) + "\".");
        temporaria_ =
            fs::temp_directory_path() / ("importa-caderno-" + std::to_string(getpid()) + "-" +
                                         std::to_string(Relogio::now().time_since_epoch().count()));
        fs::create_directories(temporaria_);
    } catch (const EAbort&) {
        return Recusa(""); // told already; the summary still says so
    } catch (const EErro& e) {
        return Recusa(e.Message());
    } catch (const std::exception& e) {
        return Recusa(std::string("Erro inesperado: ") + e.what());
    }

    for (size_t i = 0; i < lojas_.size(); ++i)
        fila_.push_back(i);
    {
        TPedidoParada parada(TPedidoParada::SegundoPedido::Conta);
        bool parou = false, matou = false;
        while (!fila_.empty() || !rodando_.empty()) {
            const int pedidos = parada.Pedidos();
            if (pedidos >= 1 && !parou) {
                parou = true;
                for (auto& [i, filho] : rodando_) {
                    lojas_[i].Parada = true;
                    filho.PedeParada();
                }
                // Nothing else starts: the stores not yet tried stay as they were, and a retry
                // not yet due keeps its last answer.
                for (size_t i : fila_)
                    if (!lojas_[i].Codigo)
                        ++terminadas_;
                fila_.clear();
            }
            if (pedidos >= 2 && !matou) {
                matou = true;
                for (auto& [i, filho] : rodando_) {
                    lojas_[i].Morta = true;
                    filho.Mata();
                }
            }
            const auto agora = Relogio::now();
            for (auto f = fila_.begin();
                 f != fila_.end() && rodando_.size() < static_cast<size_t>(o_.Simultaneas);) {
                if (lojas_[*f].NaoAntes <= agora) {
                    const size_t i = *f;
                    f = fila_.erase(f);
                    Inicia(i);
                } else {
                    ++f;
                }
            }
            std::vector<size_t> fim;
            for (auto& [i, filho] : rodando_)
                if (filho.Terminou())
                    fim.push_back(i);
            for (size_t i : fim)
                Recolhe(i);
            Progresso(false);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Progresso(true);
    }
    std::error_code erro;
    fs::remove_all(temporaria_, erro);

    const int codigo = Codigo();
    if (o_.Json)
        saida_ << Json(codigo);
    else
        Tabela();
    saida_ << std::flush;
    if (!saida_) {
        Diz(erros_, "N\xE3o foi poss\xEDvel escrever na sa\xED"
                    "da padr\xE3o.");
        return SaidaFalhou;
    }
    return codigo;
}

} // namespace

int ImportaLojas(const TOpcoesImporta& opcoes, std::ostream& saida, std::ostream& erros,
                 bool terminal) {
    return TRollout(opcoes, saida, erros, terminal).Executa();
}
