#include "ui/Gauge.h"

#include "ui/PaintPacer.h"

#include <QPainter>

#include <algorithm>

TGauge::TGauge(QWidget* parent) : QWidget(parent), ritmo_(new TPaintPacer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGauge::SetMinValue(int valor) {
    min_ = valor;
    progresso_ = std::max(progresso_, min_);
    Atualiza();
}

void TGauge::SetMaxValue(int valor) {
    max_ = valor;
    progresso_ = std::min(progresso_, max_);
    Atualiza();
}

void TGauge::SetProgress(int valor) {
    // The run sets the progress back when it ends or stops: its last value is painted first.
    ritmo_->Conclui();
    progresso_ = std::clamp(valor, min_, std::max(min_, max_));
    Atualiza();
}

void TGauge::AddProgress(int valor) {
    progresso_ = std::clamp(progresso_ + valor, min_, std::max(min_, max_));
    if (DesenhoMuda())
        ritmo_->Pede();
}

int TGauge::PercentDone() const {
    if (max_ == min_)
        return 0;
    return static_cast<int>(100LL * (progresso_ - min_) / (static_cast<long long>(max_) - min_));
}

int TGauge::FilledWidth() const {
    return (width() - 2) * PercentDone() / 100;
}

bool TGauge::DesenhoMuda() const {
    return PercentDone() != desenhadoPercentual_ || FilledWidth() != desenhadoLargura_;
}

void TGauge::Atualiza() {
    if (DesenhoMuda())
        update();
}

void TGauge::paintEvent(QPaintEvent*) {
    ++pinturas_;
    desenhadoPercentual_ = PercentDone();
    desenhadoLargura_ = FilledWidth();
    QPainter p(this);
    QRect interno = rect().adjusted(1, 1, -1, -1);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QRect cheio(interno.left(), interno.top(), desenhadoLargura_, interno.height());
    QRect vazio(interno.left() + desenhadoLargura_, interno.top(),
                interno.width() - desenhadoLargura_, interno.height());
    p.fillRect(vazio, Qt::white);
    p.fillRect(cheio, Qt::black);
    const QString texto = QString::number(desenhadoPercentual_) + QLatin1Char('%');
    // Black over the unfilled part, white over the bar.
    p.setClipRect(vazio);
    p.setPen(Qt::black);
    p.drawText(interno, Qt::AlignCenter, texto);
    p.setClipRect(cheio);
    p.setPen(Qt::white);
    p.drawText(interno, Qt::AlignCenter, texto);
}
