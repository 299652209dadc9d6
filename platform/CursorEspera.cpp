#include "platform/CursorEspera.h"

namespace {
TAcaoCursor mostraCursor = nullptr;
TAcaoCursor restauraCursor = nullptr;
int aninhados = 0; // objects alive; one thread only
} // namespace

void DefineCursorEspera(TAcaoCursor mostra, TAcaoCursor restaura) {
    mostraCursor = mostra;
    restauraCursor = restaura;
}

TCursorEspera::TCursorEspera() {
    if (aninhados++ == 0 && mostraCursor) {
        mostraCursor();
        mostrou_ = true;
    }
}

TCursorEspera::~TCursorEspera() {
    --aninhados;
    if (mostrou_ && restauraCursor)
        restauraCursor();
}
