#include "tools/importa/Lojas.h"

#include "import/ImportaOfertas.h"
#include "import/OfertaArquivo.h"
#include "platform/Caminho.h"
#include "platform/Console.h"
#include "platform/Erro.h"
#include "platform/Executavel.h"
#include "platform/LeituraArquivo.h"
#include "platform/PedidoParada.h"
#include "platform/Processos.h"
#include "platform/Windows1252.h"
#include "tools/importa/ImportaCaderno.h"
#include "tools/importa/JanelaConsole.h"
#include "tools/importa/LeituraJson.h"
#include "tools/importa/ResultadoLojas.h"
#include "tools/importa/ResumoImporta.h"

#include <algorithm>
#include <cstdio>
#include <deque>
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

using Relogio = std::chrono::steady_clock;

void Diz(std::ostream& erros, const std::string& texto) {
    erros << "importa-caderno: " << TextoParaConsole(texto) << '\n' << std::flush;
}

// What a store's command wrote into one of its files; nothing when it cannot be read.
std::string Le(const std::string& arquivo) {
    try {
        return LerArquivoInteiro(arquivo);
    } catch (const EErro&) {
        return std::string();
    }
}

// The store a connection file stands for: its name without ".conf" (in any case); empty for
// any other file.
std::string NomeDaLoja(const std::string& arquivo) {
    const size_t n = arquivo.size();
    if (n <= 5 || arquivo[n - 5] != '.')
        return std::string();
    std::string extensao = arquivo.substr(n - 4);
    std::transform(extensao.begin(), extensao.end(), extensao.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extensao == "conf" ? arquivo.substr(0, n - 5) : std::string();
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
    // Refused before any store was tried.
    int Recusa(const std::string& mensagem);

    const TOpcoesImporta& o_;
    std::ostream& saida_;
    std::ostream& erros_;
    bool terminal_;
    std::vector<TLoja> lojas_;
    std::string temporaria_; // the stores' output files
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
    std::map<std::string, std::string> porNome;
    for (const std::string& pasta : o_.Lojas) {
        if (!ExistePasta(pasta))
            throw EErro("A pasta de lojas \"" + ArgumentoParaTexto(pasta) + "\" n\xE3o existe.");
        // Listed by the system's own calls, so that a store named with accents keeps its name
        // in the table, in its report's name and in the path its command is given.
        const auto arquivos = ArquivosDaPasta(pasta);
        if (!arquivos)
            throw EErro("N\xE3o foi poss\xEDvel ler a pasta de lojas \"" +
                        ArgumentoParaTexto(pasta) + "\".");
        for (const std::string& arquivo : *arquivos) {
            const std::string nome = NomeDaLoja(arquivo);
            if (nome.empty())
                continue;
            const std::string conf = JuntaCaminho(pasta, arquivo);
            auto [onde, nova] = porNome.emplace(nome, conf);
            if (!nova)
                throw EErro("Duas lojas com o mesmo nome \"" + ArgumentoParaTexto(nome) +
                            "\": " + ArgumentoParaTexto(onde->second) + " e " +
                            ArgumentoParaTexto(conf) + ".");
        }
    }
    if (porNome.empty())
        throw EErro("Nenhum arquivo .conf nas pastas de lojas.");
    for (const auto& [nome, conf] : porNome) {
        TLoja l;
        l.Nome = nome;
        l.Conf = conf;
        l.Relatorio = JuntaCaminho(o_.Relatorios, nome + ".txt");
        lojas_.push_back(std::move(l));
    }
}

std::vector<std::string> TRollout::Argumentos(const TLoja& l) const {
    std::vector<std::string> a = {"--nome",      o_.NomeArgumento, "--inicio", o_.InicioArgumento,
                                  "--fim",       o_.FimArgumento,  "--conf",   l.Conf,
                                  "--relatorio", l.Relatorio,      "--json"};
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
    const std::string base = JuntaCaminho(temporaria_, std::to_string(i));
    try {
        rodando_.emplace(i, TFilho::Inicia(CaminhoDoExecutavel(), Argumentos(l), base + ".saida",
                                           base + ".erros"));
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
    const std::string base = JuntaCaminho(temporaria_, std::to_string(i));
    l.Json = Le(base + ".saida");
    l.Erros = Le(base + ".erros");
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
                            Resultado(l, o_.Verificar) + " (" + Decimal(l.Segundos, 1) + " s)";
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
        Decimal(segundos > 0 ? static_cast<double>(linhas_) / segundos : 0, 0) + " linhas/s";
    erros_ << '\r' << linha;
    if (linha.size() < largura_)
        erros_ << std::string(largura_ - linha.size(), ' ');
    erros_ << std::flush;
    largura_ = linha.size();
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
        if (!CriaPastas(o_.Relatorios))
            throw EErro("N\xE3o foi poss\xEDvel criar a pasta dos relat\xF3rios \"" +
                        ArgumentoParaTexto(o_.Relatorios) + "\".");
        temporaria_ = JuntaCaminho(PastaTemporaria(),
                                   "importa-caderno-" + std::to_string(getpid()) + "-" +
                                       std::to_string(Relogio::now().time_since_epoch().count()));
        if (!CriaPastas(temporaria_))
            throw EErro("N\xE3o foi poss\xEDvel criar a pasta tempor\xE1ria \"" +
                        CaminhoParaTexto(temporaria_) + "\".");
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
    ApagaPastaDeArquivos(temporaria_);

    const int codigo = CodigoDasLojas(lojas_);
    if (o_.Json)
        saida_ << JsonDasLojas(o_, lojas_, codigo);
    else
        saida_ << TextoParaConsole(TabelaDasLojas(lojas_, o_.Verificar));
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
