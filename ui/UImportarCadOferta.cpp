#include "ui/UImportarCadOferta.h"

#include "connection/Inicio.h"
#include "db/MyConnection.h"
#include "import/ImportaOfertas.h"
#include "import/OfertaArquivo.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"
#include "ui/AjusteFonte.h"
#include "ui/ConfiguracaoRegional.h"
#include "ui/DatePicker.h"
#include "ui/Dialogos.h"
#include "ui/ErroPadrao.h"
#include "ui/Gauge.h"
#include "ui/Texto1252.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

TFImportarCadOfertas* FImportarCadOfertas = nullptr;

namespace {

constexpr int Enter = 13;

QFrame* Regua(QWidget* pai, int x, int y, int largura) {
    auto* regua = new QFrame(pai);
    regua->setFrameShape(QFrame::HLine);
    regua->setFrameShadow(QFrame::Sunken);
    regua->setGeometry(x, y, largura, 2);
    return regua;
}

QLabel* Rotulo(QWidget* pai, const QString& texto, int x, int y, int largura, int altura) {
    auto* rotulo = new QLabel(texto, pai);
    rotulo->setGeometry(x, y, largura, altura);
    return rotulo;
}

// Runs a handler. An exception that escapes it goes to the default error display here, at the
// handler's edge: unwinding through Qt's own event delivery, which is not written for
// exceptions, would leave its bookkeeping of the event behind.
template <typename F> void TrataErros(F&& handler) {
    try {
        handler();
    } catch (...) {
        MostraErro(std::current_exception());
    }
}

bool TeclaEnter(QEvent* evento) {
    if (evento->type() != QEvent::KeyPress)
        return false;
    int tecla = static_cast<QKeyEvent*>(evento)->key();
    return tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
}

// Enter moves the focus as Tab does: a date field entered so is selected whole, and the check
// box and the buttons show the keyboard's focus mark.
void FocaPeloTeclado(QWidget* controle) {
    controle->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    controle->setFocus(Qt::TabFocusReason);
}

} // namespace

QFont FonteDaJanela() {
    CarregaTahoma();
    QFont fonte(QStringLiteral("Tahoma"));
    fonte.setStyleHint(QFont::SansSerif);
    fonte.setPixelSize(11);
    return fonte;
}

TFImportarCadOfertas::TFImportarCadOfertas(const TModuloDados& dados, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dados_(dados) {
    Q_INIT_RESOURCE(imagens); // the pictures live in a static library
    setWindowTitle(QStringLiteral(u"Importação Caderno de Ofertas"));
    setFont(FonteDaJanela());
    setFixedSize(396, 263);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, paleta.color(QPalette::Button)); // button face
    setPalette(paleta);
    setAutoFillBackground(true);
    CriaControles();
    AjustaAsLegendas(this); // a stand-in for Tahoma may be wider
    OrdemDeTabulacao();
    FormCreate();
}

TFImportarCadOfertas::~TFImportarCadOfertas() = default;

void TFImportarCadOfertas::CriaControles() {
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 396, 44);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* interno = new QFrame(Panel1); // the inner, lowered bevel
    interno->setGeometry(1, 1, 394, 42);
    interno->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1 = Rotulo(Panel1, QStringLiteral("Arquivo:"), 9, 14, 47, 13);
    QFont negrito = font();
    negrito.setBold(true);
    Label1->setFont(negrito);
    txtArquivo = new QLineEdit(Panel1);
    txtArquivo->setGeometry(63, 10, 297, 21);
    txtArquivo->setReadOnly(true);
    QPalette paleta = txtArquivo->palette();
    paleta.setColor(QPalette::Base, palette().color(QPalette::Button));
    txtArquivo->setPalette(paleta);
    sbArquivo = new QToolButton(Panel1);
    sbArquivo->setGeometry(362, 10, 23, 22);
    sbArquivo->setText(QStringLiteral("..."));
    sbArquivo->setFocusPolicy(Qt::NoFocus);
    connect(sbArquivo, &QToolButton::clicked, this,
            [this] { TrataErros([this] { sbArquivoClick(); }); });

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(2, 44, 394, 124);
    Label4 = Rotulo(GroupBox1, QStringLiteral("Caderno de Oferta:"), 9, 18, 95, 13);
    txtCadOferta = new QLineEdit(GroupBox1);
    txtCadOferta->setGeometry(108, 14, 275, 21);
    txtCadOferta->installEventFilter(this);
    Bevel2 = Regua(GroupBox1, 13, 44, 368);
    Label2 = Rotulo(GroupBox1, QStringLiteral(u"Data Início da Promoção"), 60, 54, 116, 13);
    Label3 = Rotulo(GroupBox1, QStringLiteral(u"Data Término da Promoção"), 203, 54, 129, 13);
    const QString formato = ParaQString(ConfiguracaoRegional().ShortDateFormat);
    dtInicio = new TDatePicker(formato, GroupBox1);
    dtInicio->setGeometry(59, 71, 134, 21);
    connect(dtInicio, &TDatePicker::KeyPressed, this, &TFImportarCadOfertas::dtInicioKeyPress);
    dtFim = new TDatePicker(formato, GroupBox1);
    dtFim->setGeometry(201, 71, 134, 21);
    connect(dtFim, &TDatePicker::KeyPressed, this, &TFImportarCadOfertas::dtFimKeyPress);
    checkPromocao = new QCheckBox(QStringLiteral(u"Atualizar preço promocional"), GroupBox1);
    checkPromocao->setGeometry(116, 99, 161, 17);
    checkPromocao->setChecked(true);
    checkPromocao->installEventFilter(this);

    lblDescricao = Rotulo(this, QString(), 14, 177, 370, 13);
    lblDescricao->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Gauge1 = new TGauge(this);
    Gauge1->setGeometry(7, 194, 382, 19);
    Bevel1 = Regua(this, 10, 221, 376);

    cmdImportar = new QPushButton(QIcon(QStringLiteral(":/imagens/importar.xpm")),
                                  QStringLiteral("&Importar"), this);
    cmdImportar->setGeometry(123, 231, 75, 25);
    cmdImportar->setIconSize(QSize(18, 18));
    cmdCancelar = new QPushButton(QIcon(QStringLiteral(":/imagens/cancelar.xpm")),
                                  QStringLiteral("&Cancelar"), this);
    cmdCancelar->setGeometry(198, 231, 75, 25);
    cmdCancelar->setIconSize(QSize(16, 16));
    for (QPushButton* botao : {cmdImportar, cmdCancelar}) {
        // Neither is a default button: Enter presses one only while it has the focus.
        botao->setAutoDefault(false);
        botao->setDefault(false);
        botao->installEventFilter(this);
    }
    connect(cmdImportar, &QPushButton::clicked, this,
            [this] { TrataErros([this] { cmdImportarClick(); }); });
    connect(cmdCancelar, &QPushButton::clicked, this,
            [this] { TrataErros([this] { cmdCancelarClick(); }); });
}

void TFImportarCadOfertas::OrdemDeTabulacao() {
    QWidget* ordem[] = {txtArquivo,   dtInicio,    dtFim,      checkPromocao,
                        txtCadOferta, cmdImportar, cmdCancelar};
    for (size_t i = 0; i + 1 < std::size(ordem); ++i)
        setTabOrder(ordem[i], ordem[i + 1]);
}

bool TFImportarCadOfertas::eventFilter(QObject* objeto, QEvent* evento) {
    if (TeclaEnter(evento)) {
        if (objeto == txtCadOferta)
            txtCadOfertaKeyPress(Enter);
        else if (objeto == checkPromocao)
            checkPromocaoKeyPress(Enter);
        else if (objeto == cmdImportar || objeto == cmdCancelar) {
            static_cast<QPushButton*>(objeto)->click();
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento); // the key itself goes on
}

void TFImportarCadOfertas::sbArquivoClick() {
    if (Parar == "N")
        return; // no file choice while an import runs: it would replace the lines under it
    auto escolha = TDialogos::Atual().AbreArquivo(this, QStringLiteral("Arquivo Excel"),
                                                  QStringLiteral("*.csv"));
    if (!escolha)
        return;
    // File names are in the file system's encoding, not the texts' one.
    const std::string caminho = QFile::encodeName(*escolha).toStdString();
    txtArquivo->setText(QFile::decodeName(QByteArray::fromStdString(Trim(caminho))));
    Linhas = {};
    CarregaLinhas(caminho, Linhas);
    Gauge1->SetProgress(0);
    Gauge1->SetMaxValue(static_cast<int>(Linhas.size()));
    txtCadOferta->setFocus();
}

void TFImportarCadOfertas::dtInicioKeyPress(int tecla) {
    if (tecla == Enter)
        FocaPeloTeclado(dtFim);
}

void TFImportarCadOfertas::dtFimKeyPress(int tecla) {
    if (tecla == Enter)
        FocaPeloTeclado(checkPromocao);
}

void TFImportarCadOfertas::checkPromocaoKeyPress(int tecla) {
    if (tecla == Enter)
        FocaPeloTeclado(cmdImportar);
}

void TFImportarCadOfertas::cmdImportarClick() {
    // A close asked for during the run takes effect once this handler has returned, however
    // it ends.
    struct TFimDaImportacao {
        TFImportarCadOfertas& janela;
        ~TFimDaImportacao() {
            janela.emImportacao_ = false;
            if (janela.fecharAoTerminar_)
                QMetaObject::invokeMethod(&janela, &QWidget::close, Qt::QueuedConnection);
        }
    } fim{*this};
    // A date typed but not yet confirmed by leaving its field is refused before anything is
    // written, however the import was started (a click, Alt+I, Enter on the button).
    if (!dtInicio->Confirma() || !dtFim->Confirma())
        return;
    emImportacao_ = true;
    TContextoImportacao contexto{dados_.QTemp, dados_.QProd, CodLoja, ConfiguracaoRegional()};
    ImportaOfertas(*this, contexto);
}

void TFImportarCadOfertas::FormShow() {
    Parar = "S";
}

void TFImportarCadOfertas::txtCadOfertaKeyPress(int tecla) {
    if (tecla == Enter)
        FocaPeloTeclado(dtInicio);
}

void TFImportarCadOfertas::cmdCancelarClick() {
    auto pergunta = [this](const QString& texto) {
        return TDialogos::Atual().Mensagem(this, texto, QStringLiteral(u"Atenção"),
                                           TDialogos::Icone::Informacao,
                                           TDialogos::Botoes::SimNao) == TDialogos::Resposta::Sim;
    };
    if (Parar != "N") {
        if (pergunta(QStringLiteral("Deseja fechar?")))
            QCoreApplication::quit();
    } else if (pergunta(QStringLiteral("Deseja cancelar?"))) {
        Parar = "S";
    }
}

void TFImportarCadOfertas::FormCreate() {
    try {
        CodLoja = PreparaConexao(dados_.Conexao);
        dados_.Conexao.Connect();
    } catch (const EErro& e) {
        // The window is still hidden: the box stands alone, before it.
        TDialogos::Atual().Mensagem(nullptr, ParaQString(e.Message()), TituloDaAplicacao(),
                                    TDialogos::Icone::Nenhum, TDialogos::Botoes::Ok);
    }
    Linhas = {};
}

void TFImportarCadOfertas::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (mostrada_ || evento->spontaneous())
        return;
    mostrada_ = true;
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    txtArquivo->setFocus();
    FormShow();
}

void TFImportarCadOfertas::closeEvent(QCloseEvent* evento) {
    if (emImportacao_) {
        fecharAoTerminar_ = true; // the run goes on to its end, its closing message included
        evento->ignore();
        return;
    }
    evento->accept();
}

std::string TFImportarCadOfertas::TextoArquivo() {
    return QFile::encodeName(txtArquivo->text()).toStdString();
}

std::string TFImportarCadOfertas::TextoCadOferta() {
    return DeQString(txtCadOferta->text());
}
TData TFImportarCadOfertas::DataInicio() {
    return dtInicio->Date();
}
TData TFImportarCadOfertas::DataFim() {
    return dtFim->Date();
}
bool TFImportarCadOfertas::PromocaoMarcada() {
    return checkPromocao->isChecked();
}
void TFImportarCadOfertas::DefineDescricao(const std::string& texto) {
    lblDescricao->setText(ParaQString(texto));
}
void TFImportarCadOfertas::ZeraProgresso() {
    Gauge1->SetProgress(0);
}
void TFImportarCadOfertas::AvancaProgresso() {
    Gauge1->AddProgress(1);
}

void TFImportarCadOfertas::HabilitaImportar(bool habilitado) {
    cmdImportar->setEnabled(habilitado);
    sbArquivo->setEnabled(habilitado);
}

void TFImportarCadOfertas::Foca(Controle controle) {
    switch (controle) {
    case Controle::txtArquivo:
        txtArquivo->setFocus();
        break;
    case Controle::txtCadOferta:
        txtCadOferta->setFocus();
        break;
    case Controle::dtInicio:
        dtInicio->Seleciona(); // after a message about the dates: the start typed again
        break;
    case Controle::cmdImportar:
        cmdImportar->setFocus();
        break;
    }
}

void TFImportarCadOfertas::Mensagem(const std::string& texto) {
    TDialogos::Atual().Mensagem(this, ParaQString(texto), QStringLiteral(u"Atenção"),
                                TDialogos::Icone::Informacao, TDialogos::Botoes::Ok);
}

void TFImportarCadOfertas::ProcessaMensagens() {
    QCoreApplication::processEvents();
}
