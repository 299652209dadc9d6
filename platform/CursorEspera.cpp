#include "platform/CursorEspera.h"

namespace {
TAcaoCursor mostraCursor = nullptr;
TAcaoCursor restauraCursor = nullptr;
} // namespace

void DefineCursorEspera(TAcaoCursor mostra, TAcaoCursor restaura) {
    mostraCursor = mostra;
    restauraCursor = restaura;
}

TCursorEspera::TCursorEspera() {
    if (mostraCursor)
        mostraCursor();
}

TCursorEspera::~TCursorEspera() {
    if (restauraCursor)
        restauraCursor();
}
