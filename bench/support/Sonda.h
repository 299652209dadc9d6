#pragma once
// How soon the import window answers during a run.
#include "Estatistica.h"
#include "Maquina.h"
#include "ScriptedDialogs.h"
#include "ui/UImportarCadOferta.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPushButton>

#include <chrono>
#include <vector>

// An event posted to the window's thread is delivered at the next processing of pending
// messages; on delivery it posts the next one. Every second or so it also posts a click on
// "&Cancelar" (mouse press and release) and times it until the question box comes up.
class TSonda : public QObject {
public:
    TSonda(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos)
        : janela_(janela), tipo_(static_cast<QEvent::Type>(QEvent::registerEventType())) {
        dialogos.OnShow = [this](const ShownMessage& m) {
            if (m.Text == QStringLiteral("Deseja cancelar?") && cliquePendente_) {
                cliquePendente_ = false;
                cancelar_.push_back(Segundos(Relogio::now() - cliquePostado_) * 1000);
            }
        };
    }

    void Inicia() {
        ativa_ = true;
        roubadoAntes_ = Roubado();
        lidoEm_ = Relogio::now();
        proximoClique_ = Relogio::now() + std::chrono::milliseconds(500);
        Posta();
    }
    void Para() { ativa_ = false; }

    const std::vector<double>& Atrasos() const { return atrasos_; }   // ms, one per delivery
    const std::vector<double>& Cancelar() const { return cancelar_; } // ms, one per click
    const std::vector<double>& Cliques() const { return cliques_; } // ms, click handled, per click
    // The waits over 50 ms, each with the time the host stole from this machine meanwhile.
    struct TEspera {
        double Ms = 0, RoubadoMs = 0;
    };
    const std::vector<TEspera>& Longas() const { return longas_; }

protected:
    bool event(QEvent* evento) override {
        if (evento->type() != tipo_)
            return QObject::event(evento);
        if (!ativa_)
            return true;
        auto agora = Relogio::now();
        // A wait that holds the handling of a Cancel click is the click's, not the run's.
        const double atraso = Segundos(agora - postado_) * 1000;
        (cliqueNaEspera_ ? cliques_ : atrasos_).push_back(atraso);
        cliqueNaEspera_ = false;
        // The steal counts in ticks of 10 ms, so it is read no oftener than that (reading it
        // costs more than a line's own work): a long wait is set against the last reading
        // before it began.
        if (atraso > 50)
            longas_.push_back({atraso, (Roubado() - roubadoAntes_) * 1000});
        if (agora - lidoEm_ >= std::chrono::milliseconds(10)) {
            roubadoAntes_ = Roubado();
            lidoEm_ = agora;
        }
        if (agora >= proximoClique_ && !cliquePendente_) {
            proximoClique_ = agora + std::chrono::seconds(1);
            PostaClique();
            cliqueNaEspera_ = true;
        }
        Posta();
        return true;
    }

private:
    struct TEvento : QEvent {
        using QEvent::QEvent;
    };

    void Posta() {
        postado_ = Relogio::now();
        QCoreApplication::postEvent(this, new TEvento(tipo_));
    }

    void PostaClique() {
        QPushButton* botao = janela_.cmdCancelar;
        const QPointF local(botao->width() / 2.0, botao->height() / 2.0);
        const QPointF global = botao->mapToGlobal(local);
        cliquePendente_ = true;
        cliquePostado_ = Relogio::now();
        QCoreApplication::postEvent(botao, new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                           Qt::LeftButton, Qt::LeftButton,
                                                           Qt::NoModifier));
        QCoreApplication::postEvent(botao,
                                    new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    TFImportarCadOfertas& janela_;
    QEvent::Type tipo_;
    bool ativa_ = false;
    Relogio::time_point postado_;
    std::vector<double> atrasos_;
    bool cliquePendente_ = false;
    Relogio::time_point cliquePostado_;
    Relogio::time_point proximoClique_;
    std::vector<double> cancelar_;
    bool cliqueNaEspera_ = false; // the next delivery comes after a Cancel click's handling
    double roubadoAntes_ = 0;     // the steal at the last reading, at lidoEm_
    Relogio::time_point lidoEm_;
    std::vector<TEspera> longas_;
    std::vector<double> cliques_;
};
