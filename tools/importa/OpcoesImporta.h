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
};

TOpcoesImporta LeOpcoesImporta(const std::vector<std::string>& argumentos,
                               const TFormatSettings& formato);

// AAAA-MM-DD, or the user's short date form (dd/MM/yyyy in Brazil); an impossible date is an
// EErro naming the option and the text.
TData LeData(std::string_view opcao, std::string_view texto, const TFormatSettings& formato);

// --help, in the system's text.
std::string TextoAjudaImporta();
