#include "viewer/Visualizador.h"

#include "ui/Dialogos.h"
#include "viewer/ArgumentosVisualizador.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TInicioVisualizador IniciaVisualizador(const std::vector<std::string>& argumentos) {
    TInicioVisualizador inicio;
    QString mensagem;
    try {
        TArgumentosVisualizador lidos = LeArgumentos(argumentos);
        auto janela = std::make_unique<TFVisualizador>(lidos.Colunas);
        janela->Abre(lidos.Arquivo);
        inicio.Janela = std::move(janela);
        return inicio;
    } catch (const EFalhaVisualizador& e) {
        mensagem = e.Mensagem();
        inicio.CodigoSaida = e.CodigoSaida();
    } catch (const std::bad_alloc&) {
        mensagem = QStringLiteral(u"Não há memória suficiente para mostrar o relatório.");
        inicio.CodigoSaida = SaidaRelatorioIlegivel;
    } catch (const std::exception& e) {
        mensagem = QStringLiteral(u"Não foi possível mostrar o relatório: %1")
                       .arg(QString::fromLocal8Bit(e.what()));
        inicio.CodigoSaida = SaidaRelatorioIlegivel;
    }
    TDialogos::Atual().Mensagem(nullptr, mensagem, TituloVisualizador(), TDialogos::Icone::Erro,
                                TDialogos::Botoes::Ok);
    return inicio;
}

void CarregaTraducoesQt(QCoreApplication& aplicacao) {
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brasil);
    auto* traducao = new QTranslator(&aplicacao);
    if (traducao->load(brasil, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        aplicacao.installTranslator(traducao);
    else
        delete traducao;
}
