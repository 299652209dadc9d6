#include "platform/Descritor.h"

#include <cerrno>

#if defined(_WIN32)
#include <io.h>
#define FECHA_DESCRITOR ::_close
#else
#include <unistd.h>
#define FECHA_DESCRITOR ::close
#endif

TDescritor::~TDescritor() {
    Fecha();
}

TDescritor& TDescritor::operator=(TDescritor&& outro) noexcept {
    if (this != &outro) {
        Fecha();
        fd_ = outro.Solta();
    }
    return *this;
}

int TDescritor::Fecha() noexcept {
    if (fd_ < 0)
        return 0;
    // The descriptor is gone after close even when it fails; it is never closed again.
    return FECHA_DESCRITOR(Solta()) == 0 ? 0 : errno;
}
