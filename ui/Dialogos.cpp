#include "ui/Dialogos.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>

namespace {
std::unique_ptr<TDialogos>& Instancia() {
    static std::unique_ptr<TDialogos> instancia = std::make_unique<TDialogosQt>();
    return instancia;
}
} // namespace

TDialogos& TDialogos::Atual() {
    return *Instancia();
}

std::unique_ptr<TDialogos> TDialogos::Instala(std::unique_ptr<TDialogos> novos) {
    auto anteriores = std::move(Instancia());
    Instancia() = std::move(novos);
    return anteriores;
}

TDialogos::Resposta TDialogosQt::Mensagem(QWidget* dono, const QString& texto,
                                          const QString& titulo, Icone icone, Botoes botoes) {
    QMessageBox caixa(dono);
    caixa.setWindowTitle(titulo);
    // Messages carry file names and the server's texts: shown byte for byte, never as markup.
    caixa.setTextFormat(Qt::PlainText);
    caixa.setText(texto);
    caixa.setIcon(icone == Icone::Informacao ? QMessageBox::Information
                  : icone == Icone::Erro     ? QMessageBox::Critical
                                             : QMessageBox::NoIcon);
    if (botoes == Botoes::SimNao) {
        caixa.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        caixa.setDefaultButton(QMessageBox::Yes);
        caixa.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
        caixa.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
    } else {
        caixa.setStandardButtons(QMessageBox::Ok);
        caixa.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    }
    if (!dono) {
        // Without an owner the box stands alone, centred on the screen.
        caixa.adjustSize();
        if (QScreen* tela = QGuiApplication::primaryScreen())
            caixa.move(tela->availableGeometry().center() - caixa.rect().center());
    }
    int r = caixa.exec();
    if (botoes == Botoes::SimNao)
        return r == QMessageBox::Yes ? Resposta::Sim : Resposta::Nao;
    return Resposta::Ok;
}

std::optional<QString> TDialogosQt::AbreArquivo(QWidget* dono, const QString& descricao,
                                                const QString& padrao) {
    QFileDialog dialogo(dono);
    dialogo.setFileMode(QFileDialog::AnyFile); // a name that does not exist is accepted
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setNameFilter(descricao + " (" + padrao + ")");
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    // Qt gives "/" between folders; the user typed and sees the system's own ("\" on Windows).
    return QDir::toNativeSeparators(dialogo.selectedFiles().front());
}

std::optional<QString> TDialogosQt::SalvaArquivo(QWidget* dono, const QString& titulo,
                                                 const QString& sugestao, const QString& filtro) {
    QString arquivo = QFileDialog::getSaveFileName(dono, titulo, sugestao, filtro);
    if (arquivo.isEmpty())
        return std::nullopt;
    return arquivo;
}

bool TDialogosQt::ConfiguraImpressao(QWidget* dono, const QString& titulo, QPrinter& impressora,
                                     int ultimaPagina) {
    QPrintDialog dialogo(&impressora, dono);
    dialogo.setWindowTitle(titulo);
    dialogo.setMinMax(1, ultimaPagina);
    dialogo.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialogo.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialogo.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialogo.exec() == QDialog::Accepted;
}
