#include "ui/UImportarCadOferta.h"

#include "app/Aplicacao.h"
#include "app/Inicio.h"
#include "app/UDM.h"
#include "platform/Erro.h"
#include "ui/Dialogos.h"
#include "ui/Texto1252.h"

#include <QShowEvent>

TFImportarCadOfertas* FImportarCadOfertas = nullptr;

TFImportarCadOfertas::TFImportarCadOfertas(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Importação Caderno de Ofertas"));
    setFixedSize(396, 263);
    FormCreate();
}

TFImportarCadOfertas::~TFImportarCadOfertas() = default;

void TFImportarCadOfertas::FormCreate() {
    try {
        PreparaConexao(*DM, CodLoja);
    } catch (const EErro& e) {
        // The window is still hidden: the box stands alone, before it.
        TDialogos::Atual().Mensagem(nullptr, ParaQString(e.Message()), TAplicacao::Titulo(),
                                    TDialogos::Icone::Nenhum, TDialogos::Botoes::Ok);
    }
    Linhas.clear();
}

void TFImportarCadOfertas::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!mostrada_ && !evento->spontaneous()) {
        mostrada_ = true;
        FormShow();
    }
}

void TFImportarCadOfertas::FormShow() {
    Parar = "S";
}
