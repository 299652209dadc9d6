#include "connection/util.h"

std::string LojaParaCodigo(int32_t loja) {
    static constexpr char simbolos[] = "@#$&+-!()={}[]<>;:";
    char codigo;
    if (loja == 1)
        codigo = '*'; // the head office
    else if (loja < 10)
        codigo =
            static_cast<char>(static_cast<unsigned char>((48 + static_cast<int64_t>(loja)) & 0xFF));
    else if (loja < 36)
        codigo = static_cast<char>('A' + (loja - 10));
    else if (loja < 54)
        codigo = simbolos[loja - 36];
    else if (loja < 60)
        codigo = static_cast<char>('a' + (loja - 54));
    else
        codigo = '0';
    return std::string(1, codigo);
}
