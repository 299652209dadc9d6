#pragma once
// The command line of importa-caderno: the offer file, the booklet's name and dates, and the
// switches. A bad or missing option is an EErro naming it.
#include "platform/DataHora.h"
#include "platform/FormatSettings.h"

#include <string>
#include <string_view>
#include <vector>

struct TOpcoesImporta {
    std::string Arquivo; // as given: a file name in the file system's encoding
    std::string Nome;    // the booklet's name, as the system's text
    TData Inicio = DataZero;
    TData Fim = DataZero;
    bool Promocao = true; // "Atualizar preço promocional", ticked unless --sem-preco-promocional
    bool Verificar = false;
    bool Mostrar = false;
    bool Json = false;
    bool Ajuda = false;
    std::string Relatorio = "Relatorio.txt";
    std::string Conf; // empty: connection.conf beside the program
    // Not imported again into a store that already holds a booklet of the same name and dates.
    bool PularSeJaTem = false;

    // The rollout to many stores (--lojas): the folders of the stores' .conf files, how many
    // stores at once, where their reports go, whether a store that already holds the booklet
    // is imported again, and how many times an unreachable store is tried.
    std::vector<std::string> Lojas;
    int Simultaneas = 8;
    std::string Relatorios = "relatorios";
    bool ImportarDeNovo = false;
    int Tentativas = 3;

    // The arguments as given, for the stores' own commands: the name's and the dates' texts.
    std::string NomeArgumento, InicioArgumento, FimArgumento;
    bool RelatorioDado = false;
};

// Whether the command line asks for --json (before a "--"), so that even a refused one is
// answered with a JSON object.
bool PedeJson(const std::vector<std::string>& argumentos);

TOpcoesImporta LeOpcoesImporta(const std::vector<std::string>& argumentos,
                               const TFormatSettings& formato);

// AAAA-MM-DD, or the user's short date form (dd/MM/yyyy in Brazil); an impossible date is an
// EErro naming the option and the text.
TData LeData(std::string_view opcao, std::string_view texto, const TFormatSettings& formato);

// --help, in the system's text.
std::string TextoAjudaImporta();
