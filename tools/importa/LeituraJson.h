#pragma once
// Reads back the one-store command's JSON summary (one object of strings, numbers, true, false,
// null and objects of them), as the rollout gathers it from each store's command.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TValorJson {
    enum class Tipo { Nulo, Logico, Numero, Texto };
    Tipo Tipo = Tipo::Nulo;
    std::string Texto; // a string's UTF-8 text; a number's or a logical value's as written
};

// The members by name, those of an inner object as "fora.dentro"; nullopt when the text is no
// one JSON object.
std::optional<std::map<std::string, TValorJson>> LeObjetoJson(std::string_view texto);

// The objects of the array member nome of a JSON object (the rollout's "lojas"), each read as
// LeObjetoJson reads one; nullopt when there is no such member or an object is malformed.
std::optional<std::vector<std::map<std::string, TValorJson>>> LeListaJson(std::string_view texto,
                                                                          std::string_view nome);
