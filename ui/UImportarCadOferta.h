#pragma once
// The import window, the program's only window. The user chooses the offer file, names the
// booklet, picks the promotion's dates, decides whether promotional prices are updated, and
// starts or stops the import. The window holds the state it shares with the import run.
#include <QWidget>

#include <string>

#include "import/ImportWindow.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TDatePicker;
class TGauge;
class TMyConnection;
class TMyQuery;

// What the window uses of the data module: the connection it points at the server when it is
// created, and the two statement handles the import runs on.
struct TModuloDados {
    TMyConnection& Conexao;
    TMyQuery& QTemp;
    TMyQuery& QProd;
};

class TFImportarCadOfertas : public QWidget, public ImportWindow {
    Q_OBJECT
public:
    explicit TFImportarCadOfertas(const TModuloDados& dados, QWidget* parent = nullptr);
    ~TFImportarCadOfertas() override;

    // The controls, in the order of the stored design.
    QFrame* Panel1;
    QLabel* Label1;
    QLineEdit* txtArquivo;
    QToolButton* sbArquivo;
    QGroupBox* GroupBox1;
    QLabel* Label2;
    QLabel* Label3;
    TDatePicker* dtInicio;
    TDatePicker* dtFim;
    QCheckBox* checkPromocao;
    TGauge* Gauge1;
    QPushButton* cmdImportar;
    QPushButton* cmdCancelar;
    QFrame* Bevel1;
    QLabel* lblDescricao;
    QLabel* Label4;
    QLineEdit* txtCadOferta;
    QFrame* Bevel2;

    // The handlers, in the order of the stored design.
    void sbArquivoClick();
    void dtInicioKeyPress(int tecla);
    void dtFimKeyPress(int tecla);
    void checkPromocaoKeyPress(int tecla);
    void cmdImportarClick();
    void FormShow();
    void txtCadOfertaKeyPress(int tecla);
    void cmdCancelarClick();
    void FormCreate();

    // What the import run uses of the window.
    std::string TextoArquivo() override;
    std::string TextoCadOferta() override;
    TData DataInicio() override;
    TData DataFim() override;
    bool PromocaoMarcada() override;
    void DefineDescricao(const std::string& texto) override;
    void ZeraProgresso() override;
    void AvancaProgresso() override;
    void HabilitaImportar(bool habilitado) override;
    void Foca(Controle controle) override;
    void Mensagem(const std::string& texto) override;
    void ProcessaMensagens() override;

    // This store's one-character code, derived at start; empty when the identification failed.
    std::string CodLoja;

    // True while the import handler runs (a close then waits for its end).
    bool ImportacaoEmCurso() const { return emImportacao_; }

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void CriaControles();
    void OrdemDeTabulacao();

    TModuloDados dados_;
    bool mostrada_ = false;
    bool emImportacao_ = false;
    bool fecharAoTerminar_ = false;
};

extern TFImportarCadOfertas* FImportarCadOfertas;

// Loads Tahoma where the system lacks it (Debian's fonts-wine ships a free, metric-compatible
// one that fontconfig does not see) and gives the window's font: Tahoma, 11 pixels.
QFont FonteDaJanela();
