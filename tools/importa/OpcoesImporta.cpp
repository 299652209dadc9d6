#include "tools/importa/OpcoesImporta.h"

#include "platform/Console.h"
#include "platform/Erro.h"

#include <cctype>

namespace {

[[noreturn]] void Uso(const std::string& mensagem) {
    throw EErro(mensagem + "\nUse --help para ver as opções.");
}

// Reads a number of digits of the text from the position on: at least minimo, at most maximo.
bool Numero(std::string_view texto, size_t& pos, size_t minimo, size_t maximo, int& valor) {
    size_t lidos = 0;
    valor = 0;
    while (pos < texto.size() && lidos < maximo &&
           std::isdigit(static_cast<unsigned char>(texto[pos]))) {
        valor = valor * 10 + (texto[pos++] - '0');
        ++lidos;
    }
    return lidos >= minimo;
}

// The text read with a pattern of d, dd, M, MM, yy and yyyy and literal separators.
bool PeloPadrao(std::string_view texto, std::string_view padrao, TData& data) {
    size_t pos = 0;
    int campos = 0;
    for (size_t i = 0; i < padrao.size();) {
        const char c = padrao[i];
        size_t n = 1;
        while (i + n < padrao.size() && padrao[i + n] == c)
            ++n;
        i += n;
        int ano = 0;
        bool lido = true;
        if (c == 'd' && n <= 2) {
            lido = Numero(texto, pos, n, 2, data.Dia);
        } else if (c == 'M' && n <= 2) {
            lido = Numero(texto, pos, n, 2, data.Mes);
        } else if (c == 'y' && (n == 2 || n == 4)) {
            lido = Numero(texto, pos, n, n, ano);
            data.Ano = n == 2 ? 2000 + ano : ano;
        } else {
            for (size_t k = 0; k < n; ++k, ++pos)
                if (pos >= texto.size() || texto[pos] != c)
                    return false;
            continue;
        }
        if (!lido)
            return false;
        ++campos;
    }
    return pos == texto.size() && campos == 3;
}

// Takes the value of an option given as "--opcao valor" or "--opcao=valor".
std::string Valor(const std::vector<std::string>& args, size_t& i, std::string_view opcao) {
    const std::string& atual = args[i];
    if (atual.size() > opcao.size() && atual[opcao.size()] == '=')
        return atual.substr(opcao.size() + 1);
    if (i + 1 >= args.size())
        Uso("Falta o valor de " + std::string(opcao) + ".");
    return args[++i];
}

// A value that must not be empty: an unset variable in a script would otherwise fall back to a
// default (another store's connection.conf, the current folder).
std::string NaoVazio(const std::vector<std::string>& args, size_t& i, std::string_view opcao) {
    std::string valor = Valor(args, i, opcao);
    if (valor.empty())
        Uso("O valor de " + std::string(opcao) + " est\xE1 vazio.");
    return valor;
}

// A path that names a file, not a folder: one ending in a separator names none.
std::string Arquivo(const std::vector<std::string>& args, size_t& i, std::string_view opcao) {
    std::string valor = NaoVazio(args, i, opcao);
#if defined(_WIN32)
    const bool pasta = valor.back() == '/' || valor.back() == '\\';
#else
    const bool pasta = valor.back() == '/';
#endif
    if (pasta)
        Uso("O valor de " + std::string(opcao) + " \"" + ArgumentoParaTexto(valor) +
            "\" n\xE3o \xE9 um arquivo.");
    return valor;
}

// A whole number from minimo to maximo.
int Inteiro(const std::vector<std::string>& args, size_t& i, std::string_view opcao, int minimo,
            int maximo) {
    const std::string valor = Valor(args, i, opcao);
    int n = 0;
    size_t pos = 0;
    if (valor.empty() || valor.size() > 6 || !Numero(valor, pos, 1, 6, n) || pos != valor.size() ||
        n < minimo || n > maximo)
        Uso("O valor de " + std::string(opcao) + " \"" + ArgumentoParaTexto(valor) +
            "\" n\xE3o \xE9 um n\xFAmero de " + std::to_string(minimo) + " a " +
            std::to_string(maximo) + ".");
    return n;
}

bool Eh(const std::string& arg, std::string_view opcao) {
    return arg.compare(0, opcao.size(), opcao) == 0 &&
           (arg.size() == opcao.size() || arg[opcao.size()] == '=');
}

} // namespace

TData LeData(std::string_view opcao, std::string_view texto, const TFormatSettings& formato) {
    TData data;
    if ((PeloPadrao(texto, "yyyy-MM-dd", data) && texto.size() == 10) ||
        PeloPadrao(texto, formato.ShortDateFormat, data))
        if (data.Valida())
            return data;
    Uso("A data de " + std::string(opcao) + " \"" + ArgumentoParaTexto(texto) +
        "\" não é válida: use AAAA-MM-DD ou " + formato.ShortDateFormat + ".");
}

TOpcoesImporta LeOpcoesImporta(const std::vector<std::string>& args,
                               const TFormatSettings& formato) {
    TOpcoesImporta o;
    bool temNome = false, temInicio = false, temFim = false, temArquivo = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "--ajuda") {
            o.Ajuda = true;
            return o;
        } else if (Eh(a, "--nome")) {
            o.NomeArgumento = Valor(args, i, "--nome");
            o.Nome = ArgumentoParaTexto(o.NomeArgumento);
            temNome = true;
        } else if (Eh(a, "--inicio")) {
            o.InicioArgumento = Valor(args, i, "--inicio");
            o.Inicio = LeData("--inicio", o.InicioArgumento, formato);
            temInicio = true;
        } else if (Eh(a, "--fim")) {
            o.FimArgumento = Valor(args, i, "--fim");
            o.Fim = LeData("--fim", o.FimArgumento, formato);
            temFim = true;
        } else if (Eh(a, "--relatorios")) {
            o.Relatorios = NaoVazio(args, i, "--relatorios");
        } else if (Eh(a, "--relatorio")) {
            o.Relatorio = Arquivo(args, i, "--relatorio");
            o.RelatorioDado = true;
        } else if (Eh(a, "--conf")) {
            o.Conf = Arquivo(args, i, "--conf");
        } else if (Eh(a, "--lojas")) {
            o.Lojas.push_back(NaoVazio(args, i, "--lojas"));
        } else if (Eh(a, "--simultaneas")) {
            o.Simultaneas = Inteiro(args, i, "--simultaneas", 1, 256);
        } else if (Eh(a, "--tentativas")) {
            o.Tentativas = Inteiro(args, i, "--tentativas", 1, 100);
        } else if (a == "--importar-de-novo") {
            o.ImportarDeNovo = true;
        } else if (a == "--pular-se-ja-tem") {
            o.PularSeJaTem = true;
        } else if (a == "--sem-preco-promocional") {
            o.Promocao = false;
        } else if (a == "--verificar") {
            o.Verificar = true;
        } else if (a == "--mostrar") {
            o.Mostrar = true;
        } else if (a == "--json") {
            o.Json = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            Uso("Opção desconhecida: " + ArgumentoParaTexto(a) + ".");
        } else {
            if (a == "--" && ++i >= args.size())
                break;
            if (temArquivo)
                Uso("Só um arquivo de ofertas por vez.");
            o.Arquivo = args[i];
            temArquivo = true;
        }
    }
    if (!temArquivo)
        Uso("Falta o arquivo de ofertas.");
    if (!temNome || !temInicio || !temFim)
        Uso(std::string("Falta ") +
            (!temNome     ? "--nome"
             : !temInicio ? "--inicio"
                          : "--fim") +
            ".");
    if (!o.Lojas.empty()) {
        // Each store has its own connection.conf and report, named after its .conf file.
        if (!o.Conf.empty())
            Uso("--conf n\xE3o vale com --lojas: cada loja usa o seu arquivo .conf.");
        if (o.RelatorioDado)
            Uso("--relatorio n\xE3o vale com --lojas: use --relatorios PASTA.");
        if (o.Mostrar)
            Uso("--mostrar n\xE3o vale com --lojas.");
    }
    return o;
}

bool PedeJson(const std::vector<std::string>& argumentos) {
    for (const std::string& a : argumentos) {
        if (a == "--")
            return false;
        if (a == "--json")
            return true;
    }
    return false;
}

std::string TextoAjudaImporta() {
    return "Uso: importa-caderno ARQUIVO --nome NOME --inicio DATA --fim DATA [opções]\n"
           "     importa-caderno ARQUIVO --nome NOME --inicio DATA --fim DATA --lojas PASTA\n"
           "                         [opções]\n"
           "\n"
           "Importa o caderno de ofertas ARQUIVO (texto separado por \";\", com uma linha de\n"
           "cabeçalho) no banco de dados da loja, como a janela \"Importação Caderno de\n"
           "Ofertas\": grava o caderno, liga a ele cada produto encontrado, atualiza as datas\n"
           "da promoção e o preço promocional dos produtos, e grava em Relatorio.txt os\n"
           "produtos não encontrados. Com --lojas, faz o mesmo em cada loja de uma pasta.\n"
           "\n"
           "  --nome NOME               nome do caderno de ofertas\n"
           "  --inicio DATA             início da promoção (AAAA-MM-DD ou dd/mm/aaaa)\n"
           "  --fim DATA                término da promoção\n"
           "  --sem-preco-promocional   não atualiza o preço promocional dos produtos\n"
           "  --verificar               só confere: lista os produtos que a loja não tem,\n"
           "                            sem gravar nada no banco de dados\n"
           "  --relatorio CAMINHO       onde gravar o relatório (Relatorio.txt na pasta atual)\n"
           "  --conf CAMINHO            outro connection.conf (o padrão fica junto ao programa)\n"
           "  --pular-se-ja-tem         não importa se a loja já tem um caderno com o mesmo\n"
           "                            nome e as mesmas datas (sai com 0)\n"
           "  --mostrar                 abre o relatório no visualizador\n"
           "  --json                    escreve um objeto JSON na saída padrão, com \"saida\"\n"
           "                            (o código de saída) e \"erro\" (a mensagem), qualquer\n"
           "                            que seja o código\n"
           "  --help                    mostra esta ajuda\n"
           "\n"
           "Em várias lojas:\n"
           "  --lojas PASTA             uma loja por arquivo *.conf da PASTA (no formato do\n"
           "                            connection.conf); pode ser dada mais de uma vez\n"
           "  --simultaneas N           quantas lojas ao mesmo tempo (8)\n"
           "  --relatorios PASTA        onde gravar o relatório de cada loja, como\n"
           "                            <nome do .conf>.txt (relatorios na pasta atual)\n"
           "  --importar-de-novo        importa também onde a loja já tem o caderno\n"
           "  --tentativas N            quantas vezes tentar uma loja inacessível (3)\n"
           "\n"
           "Códigos de saída: 0 concluído (ou conferido, ou a loja já tinha o caderno);\n"
           "1 recusado antes de gravar qualquer coisa (uso incorreto, arquivo, datas, nome,\n"
           "--conf ou --relatorio vazio ou que não é um arquivo); 2 falha no meio da\n"
           "importação (o que foi gravado fica; a mensagem diz em que linha) ou falha ao\n"
           "escrever na saída padrão; 3 interrompido por Ctrl+C ou SIGTERM (entre duas\n"
           "linhas, ou antes do caderno, sem gravar nada); 4 a loja não foi alcançada,\n"
           "recusou o acesso ou sua identificação falhou (nada foi gravado: tente mais\n"
           "tarde).\n"
           "Com --lojas: 2 se alguma loja falhou no meio; senão 4 se alguma continuou\n"
           "inacessível; senão 3 se interrompido; 1 se recusado antes de qualquer loja;\n"
           "0 quando todas foram importadas, conferidas ou já tinham o caderno.\n";
}
