#pragma once
// The general conditional choice: one of two values, both already evaluated, picked by a
// condition. Used where a value depends on a setting in an otherwise straight expression.
#include <string>
#include <type_traits>

template <typename T>
constexpr T IfThen(bool condicao, const T& verdadeiro, const std::type_identity_t<T>& falso) {
    return condicao ? verdadeiro : falso;
}

// Texts, including literals on either side; without a second text the choice is the empty one.
inline std::string IfThen(bool condicao, const std::string& verdadeiro,
                          const std::string& falso = std::string()) {
    return condicao ? verdadeiro : falso;
}
