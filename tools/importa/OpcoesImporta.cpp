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
            o.Nome = ArgumentoParaTexto(Valor(args, i, "--nome"));
            temNome = true;
        } else if (Eh(a, "--inicio")) {
            o.Inicio = LeData("--inicio", Valor(args, i, "--inicio"), formato);
            temInicio = true;
        } else if (Eh(a, "--fim")) {
            o.Fim = LeData("--fim", Valor(args, i, "--fim"), formato);
            temFim = true;
        } else if (Eh(a, "--relatorio")) {
            o.Relatorio = Valor(args, i, "--relatorio");
        } else if (Eh(a, "--conf")) {
            o.Conf = Valor(args, i, "--conf");
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
    return o;
}

std::string TextoAjudaImporta() {
    return "Uso: importa-caderno ARQUIVO --nome NOME --inicio DATA --fim DATA [opções]\n"
           "\n"
           "Importa o caderno de ofertas ARQUIVO (texto separado por \";\", com uma linha de\n"
           "cabeçalho) no banco de dados da loja, como a janela \"Importação Caderno de\n"
           "Ofertas\": grava o caderno, liga a ele cada produto encontrado, atualiza as datas\n"
           "da promoção e o preço promocional dos produtos, e grava em Relatorio.txt os\n"
           "produtos não encontrados.\n"
           "\n"
           "  --nome NOME               nome do caderno de ofertas\n"
           "  --inicio DATA             início da promoção (AAAA-MM-DD ou dd/mm/aaaa)\n"
           "  --fim DATA                término da promoção\n"
           "  --sem-preco-promocional   não atualiza o preço promocional dos produtos\n"
           "  --verificar               só confere: lista os produtos que a loja não tem,\n"
           "                            sem gravar nada no banco de dados\n"
           "  --relatorio CAMINHO       onde gravar o relatório (Relatorio.txt na pasta atual)\n"
           "  --conf CAMINHO            outro connection.conf (o padrão fica junto ao programa)\n"
           "  --mostrar                 abre o relatório no visualizador\n"
           "  --json                    escreve um resumo em JSON na saída padrão\n"
           "  --help                    mostra esta ajuda\n"
           "\n"
           "Códigos de saída: 0 concluído; 1 entrada recusada ou uso incorreto (nada foi\n"
           "gravado); 2 falha no meio da importação (o que foi gravado fica; a mensagem diz\n"
           "em que linha); 3 interrompido por Ctrl+C ou SIGTERM (entre duas linhas).\n";
}
