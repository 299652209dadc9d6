#include "viewer/BuscaRelatorio.h"

#include <algorithm>

std::optional<TOcorrencia> LocalizaNasPaginas(const QStringList& textos, const QString& texto,
                                              int pagina, qsizetype de, bool paraTras,
                                              Qt::CaseSensitivity caixa) {
    const int total = static_cast<int>(textos.size());
    if (texto.isEmpty() || total == 0 || pagina < 0 || pagina >= total)
        return std::nullopt;
    bool deuVolta = false;
    for (int passo = 0; passo <= total; ++passo) {
        const QString& alvo = textos[pagina];
        qsizetype pos = -1;
        if (paraTras) {
            de = std::min(de, alvo.size() - texto.size());
            if (de >= 0)
                pos = alvo.lastIndexOf(texto, de, caixa);
        } else if (de <= alvo.size()) {
            pos = alvo.indexOf(texto, std::max<qsizetype>(de, 0), caixa);
        }
        if (pos >= 0)
            return TOcorrencia{pagina, pos, deuVolta};
        if (paraTras) {
            deuVolta = deuVolta || pagina == 0;
            pagina = pagina == 0 ? total - 1 : pagina - 1;
            de = textos[pagina].size();
        } else {
            deuVolta = deuVolta || pagina == total - 1;
            pagina = pagina == total - 1 ? 0 : pagina + 1;
            de = 0;
        }
    }
    return std::nullopt;
}
