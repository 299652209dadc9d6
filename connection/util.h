#pragma once
// The store code: one character standing for the store's branch number, written into every
// lojas_leram value the import touches.
#include <cstdint>
#include <string>

std::string LojaParaCodigo(int32_t loja);
