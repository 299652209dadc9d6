#include "ui/PaintPacer.h"

#include <QWidget>

TPaintPacer::TPaintPacer(QWidget* alvo, std::chrono::milliseconds intervalo)
    : QObject(alvo), alvo_(alvo), intervalo_(intervalo) {
    pendente_.setSingleShot(true);
    connect(&pendente_, &QTimer::timeout, this, [this] { Pinta(); });
}

void TPaintPacer::Pede() {
    if (!desde_.isValid() || desde_.elapsed() >= intervalo_.count()) {
        Pinta();
        return;
    }
    if (!pendente_.isActive())
        pendente_.start(intervalo_ - std::chrono::milliseconds(desde_.elapsed()));
}

void TPaintPacer::Conclui() {
    if (pendente_.isActive())
        Pinta();
}

void TPaintPacer::Pinta() {
    pendente_.stop();
    desde_.restart();
    // A hidden widget is painted when it is shown; repaint() would be lost on it.
    if (alvo_->isVisible())
        alvo_->repaint();
    else
        alvo_->update();
}
