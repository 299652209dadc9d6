#include "tools/importa/ResultadoLojas.h"

#include "platform/Console.h"
#include "platform/Windows1252.h"
#include "tools/importa/ImportaCaderno.h"
#include "tools/importa/ResumoImporta.h"

#include <algorithm>
#include <cstdio>

namespace {

// The end of a command asked to stop before it watched for a stop (before it checked its
// inputs): SIGTERM's default action, or Ctrl+Break's on Windows (STATUS_CONTROL_C_EXIT).
bool PararSemVigia(int codigo) {
    return codigo == 128 + 15 || codigo == static_cast<int>(0xC000013AU);
}

} // namespace

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
std::optional<std::string> ErroDaLoja(const TLoja& l) {
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

std::string Decimal(double valor, int casas) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%.*f", casas, valor);
    return texto;
}

int CodigoDasLojas(const std::vector<TLoja>& lojas) {
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
    for (const TLoja& l : lojas)
        if (peso(Desfecho(l)) > peso(pior))
            pior = Desfecho(l);
    return pior;
}

std::string TabelaDasLojas(const std::vector<TLoja>& lojas, bool verificar) {
    std::string saida;
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
    for (const TLoja& l : lojas) {
        linhas.push_back(
            {ArgumentoParaTexto(l.Nome), DeUtf8(l.Campo("loja").value_or("")),
             l.Campo("filial").value_or(""), Resultado(l, verificar),
             l.Campo("encontrados").value_or(""), l.Campo("nao_encontrados").value_or(""),
             l.Campo("caderno").value_or(l.Campo("ja_tem.caderno").value_or("")),
             l.Codigo ? Decimal(l.Segundos, 1) : "", DeUtf8(l.Campo("relatorio").value_or(""))});
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
        saida += t + '\n';
    };
    escreve(titulos);
    for (const auto& linha : linhas)
        escreve(linha);
    bool primeiro = true;
    for (const TLoja& l : lojas) {
        const auto erro = ErroDaLoja(l);
        if (!erro || Desfecho(l) == SaidaConcluida)
            continue;
        if (primeiro)
            saida += '\n';
        primeiro = false;
        std::string t = "loja " + ArgumentoParaTexto(l.Nome) + ": " + *erro;
        if (Desfecho(l) == SaidaFalhou && l.Campo("caderno"))
            t += " (o caderno " + *l.Campo("caderno") + " e as linhas anteriores ficam gravados)";
        saida += t + '\n';
    }
    return saida;
}

std::string JsonDasLojas(const TOpcoesImporta& o, const std::vector<TLoja>& lojas, int codigo) {
    std::string t = "{\"arquivo\": " + TextoJson(CaminhoParaUtf8(o.Arquivo)) +
                    ", \"nome\": " + TextoJson(ParaUtf8(o.Nome)) +
                    ", \"verificacao\": " + (o.Verificar ? "true" : "false") + ", \"lojas\": [";
    for (size_t i = 0; i < lojas.size(); ++i) {
        const TLoja& l = lojas[i];
        const auto erro = ErroDaLoja(l);
        t += std::string(i ? ", " : "") + "{\"loja\": " + TextoJson(CaminhoParaUtf8(l.Nome)) +
             ", \"conf\": " + TextoJson(CaminhoParaUtf8(l.Conf)) +
             ", \"saida\": " + (l.Codigo ? std::to_string(Desfecho(l)) : "null") +
             ", \"resultado\": " + TextoJson(ParaUtf8(Resultado(l, o.Verificar))) +
             ", \"tentativas\": " + std::to_string(l.Tentativas) +
             ", \"segundos\": " + Decimal(l.Segundos, 3) +
             ", \"cpu_segundos\": " + Decimal(l.Uso.SegundosCpu, 3) +
             ", \"memoria_kb\": " + std::to_string(l.Uso.MemoriaKb) +
             ", \"erro\": " + (erro ? TextoJson(ParaUtf8(*erro)) : "null") +
             ", \"resumo\": " + (l.Json.empty() ? "null" : l.Json) + "}";
    }
    return t + "], \"saida\": " + std::to_string(codigo) + ", \"erro\": null}\n";
}
