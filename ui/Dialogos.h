#pragma once
// Every message box, file dialog and print dialog goes through one object, so that tests answer
// them without a person. The programs use the Qt one; tests install a scripted one.
#include <QString>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

class TDialogos {
public:
    enum class Icone { Nenhum, Informacao, Erro };
    enum class Botoes { Ok, SimNao };
    enum class Resposta { Ok, Sim, Nao };

    virtual ~TDialogos() = default;
    // A modal message box; with Yes and No, Yes is the default button.
    virtual Resposta Mensagem(QWidget* dono, const QString& texto, const QString& titulo,
                              Icone icone, Botoes botoes) = 0;
    // A modal file-open dialog with a filter of one entry; nullopt when the user cancels. The
    // path chosen has the system's separators, as the user writes it.
    virtual std::optional<QString> AbreArquivo(QWidget* dono, const QString& descricao,
                                               const QString& padrao) = 0;
    // A modal file-save dialog that proposes sugestao; nullopt when the user cancels.
    virtual std::optional<QString> SalvaArquivo(QWidget* dono, const QString& titulo,
                                                const QString& sugestao, const QString& filtro) = 0;
    // The print dialog, which sets up impressora (printer, range of pages 1 to ultimaPagina,
    // copies); false when the user cancels.
    virtual bool ConfiguraImpressao(QWidget* dono, const QString& titulo, QPrinter& impressora,
                                    int ultimaPagina) = 0;

    static TDialogos& Atual();
    // Replaces the dialogs (tests); returns the previous ones.
    static std::unique_ptr<TDialogos> Instala(std::unique_ptr<TDialogos> novos);
};

class TDialogosQt : public TDialogos {
public:
    Resposta Mensagem(QWidget* dono, const QString& texto, const QString& titulo, Icone icone,
                      Botoes botoes) override;
    std::optional<QString> AbreArquivo(QWidget* dono, const QString& descricao,
                                       const QString& padrao) override;
    std::optional<QString> SalvaArquivo(QWidget* dono, const QString& titulo,
                                        const QString& sugestao, const QString& filtro) override;
    bool ConfiguraImpressao(QWidget* dono, const QString& titulo, QPrinter& impressora,
                            int ultimaPagina) override;
};
