#include "viewer/UVisualizador.h"

#include "ui/Dialogos.h"
#include "viewer/BuscaRelatorio.h"
#include "viewer/FonteColunas.h"
#include "viewer/ImpressaoRelatorio.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

QString TituloVisualizador() {
    return QStringLiteral(u"Visualizador de relatórios");
}

// ---- The page's text box -----------------------------------------------------------------

TTextoPagina::TTextoPagina(int colunas, QWidget* parent)
    : QPlainTextEdit(parent), colunas_(std::max(colunas, 1)), base_(FonteDoRelatorio()) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setUndoRedoEnabled(false);
    setFont(base_);
}

qreal TTextoPagina::LarguraUtil() const {
    qreal barra =
        verticalScrollBar()->isVisibleTo(this) ? 0 : verticalScrollBar()->sizeHint().width();
    qreal margens = 2 * document()->documentMargin() + cursorWidth();
    return viewport()->width() - barra - margens;
}

void TTextoPagina::AjustaFonte() {
    qreal largura = LarguraUtil();
    if (largura == larguraAjustada_)
        return;
    larguraAjustada_ = largura;
    QFont fonte = FonteParaColunas(base_, colunas_, std::max<qreal>(largura, 1), viewport());
    if (fonte != font())
        setFont(fonte);
}

void TTextoPagina::resizeEvent(QResizeEvent* evento) {
    QPlainTextEdit::resizeEvent(evento);
    AjustaFonte();
}

// ---- The window ------------------------------------------------------------------------

TFVisualizador::TFVisualizador(int colunas, QWidget* parent) : QMainWindow(parent) {
    Q_INIT_RESOURCE(icones); // the printer's picture lives in a static library
    setWindowTitle(TituloVisualizador());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    txtPagina = new TTextoPagina(colunas, central);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    layout->addWidget(txtPagina, 1);
    setCentralWidget(central);

    CriaAcoes();
    CriaBarraLocalizar();
    layout->addWidget(pnlLocalizar);
    statusBar();
    MostraPaginas({TPagina()}, QString());
    txtPagina->setFocus();
}

void TFVisualizador::CriaAcoes() {
    auto icone = [this](const char* tema, QStyle::StandardPixmap padrao) {
        return QIcon::fromTheme(QString::fromLatin1(tema), style()->standardIcon(padrao));
    };
    auto acao = [this](const QIcon& figura, const QString& texto, const QString& dica,
                       QList<QKeySequence> teclas, auto alvo) {
        auto* a = new QAction(figura, texto, this);
        a->setShortcuts(teclas);
        a->setToolTip(teclas.isEmpty() ? dica
                                       : dica + QStringLiteral(" (") +
                                             teclas.front().toString(QKeySequence::NativeText) +
                                             QStringLiteral(")"));
        connect(a, &QAction::triggered, this, alvo);
        addAction(a);
        return a;
    };
    acPrimeira = acao(icone("go-first", QStyle::SP_MediaSkipBackward), QStringLiteral(u"Primeira"),
                      QStringLiteral(u"Primeira página"),
                      {QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_Home)},
                      [this] { IrParaPagina(1); });
    acAnterior = acao(icone("go-previous", QStyle::SP_ArrowBack), QStringLiteral(u"Anterior"),
                      QStringLiteral(u"Página anterior"), {QKeySequence(Qt::Key_PageUp)},
                      [this] { IrParaPagina(PaginaAtual() - 1); });
    acProxima = acao(icone("go-next", QStyle::SP_ArrowForward), QStringLiteral(u"Próxima"),
                     QStringLiteral(u"Próxima página"), {QKeySequence(Qt::Key_PageDown)},
                     [this] { IrParaPagina(PaginaAtual() + 1); });
    acUltima = acao(icone("go-last", QStyle::SP_MediaSkipForward), QStringLiteral(u"Última"),
                    QStringLiteral(u"Última página"),
                    {QKeySequence(Qt::Key_End), QKeySequence(Qt::CTRL | Qt::Key_End)},
                    [this] { IrParaPagina(TotalPaginas()); });
    acLocalizar = acao(icone("edit-find", QStyle::SP_FileDialogContentsView),
                       QStringLiteral(u"Localizar"), QStringLiteral(u"Localizar um texto"),
                       {QKeySequence::Find}, [this] { MostraLocalizar(); });
    acLocalizarProxima =
        acao(QIcon(), QStringLiteral(u"Localizar próxima"),
             QStringLiteral(u"Localizar a próxima ocorrência"), {QKeySequence::FindNext}, [this] {
                 if (txtLocalizar->text().isEmpty())
                     MostraLocalizar();
                 else
                     Localiza(txtLocalizar->text());
             });
    acLocalizarAnterior = acao(QIcon(), QStringLiteral(u"Localizar anterior"),
                               QStringLiteral(u"Localizar a ocorrência anterior"),
                               {QKeySequence::FindPrevious}, [this] {
                                   if (txtLocalizar->text().isEmpty())
                                       MostraLocalizar();
                                   else
                                       Localiza(txtLocalizar->text(), true);
                               });
    // The style has no printer among its standard pictures: the fallback is our own.
    acImprimir = acao(QIcon::fromTheme(QStringLiteral("document-print"),
                                       QIcon(QStringLiteral(":/visualizador/imprimir.xpm"))),
                      QStringLiteral(u"Imprimir..."), QStringLiteral(u"Imprimir o relatório"),
                      {QKeySequence::Print}, [this] { Imprime(); });
    acExportarPdf =
        acao(icone("document-export", QStyle::SP_DriveFDIcon), QStringLiteral(u"Exportar PDF..."),
             QStringLiteral(u"Gravar o relatório num arquivo PDF"),
             {QKeySequence(Qt::CTRL | Qt::Key_E)}, [this] { ExportaPdfComDialogo(); });
    acFechar = acao(icone("window-close", QStyle::SP_DialogCloseButton), QStringLiteral(u"Fechar"),
                    QStringLiteral(u"Fechar o visualizador"),
                    {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_Q)},
                    [this] { close(); });

    auto* barra = addToolBar(QStringLiteral(u"Páginas"));
    barra->setObjectName(QStringLiteral("barraPaginas"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    barra->addAction(acPrimeira);
    barra->addAction(acAnterior);
    lblPagina = new QLabel(barra);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    lblPagina->setContentsMargins(12, 0, 12, 0);
    barra->addWidget(lblPagina);
    barra->addAction(acProxima);
    barra->addAction(acUltima);
    barra->addSeparator();
    barra->addAction(acLocalizar);
    barra->addSeparator();
    barra->addAction(acImprimir);
    barra->addAction(acExportarPdf);
    barra->addSeparator();
    barra->addAction(acFechar);
}

void TFVisualizador::CriaBarraLocalizar() {
    pnlLocalizar = new QWidget(this);
    pnlLocalizar->setObjectName(QStringLiteral("pnlLocalizar"));
    auto* layout = new QHBoxLayout(pnlLocalizar);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* rotulo = new QLabel(QStringLiteral(u"&Localizar:"), pnlLocalizar);
    txtLocalizar = new QLineEdit(pnlLocalizar);
    txtLocalizar->setObjectName(QStringLiteral("txtLocalizar"));
    txtLocalizar->setClearButtonEnabled(true);
    rotulo->setBuddy(txtLocalizar);
    auto* cmdProxima = new QPushButton(QStringLiteral(u"&Próxima"), pnlLocalizar);
    auto* cmdAnterior = new QPushButton(QStringLiteral(u"&Anterior"), pnlLocalizar);
    checkMaiusculas =
        new QCheckBox(QStringLiteral(u"&Diferenciar maiúsculas e minúsculas"), pnlLocalizar);
    auto* cmdFechar = new QToolButton(pnlLocalizar);
    cmdFechar->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    cmdFechar->setToolTip(QStringLiteral(u"Fechar a busca (Esc)"));
    cmdFechar->setAutoRaise(true);
    layout->addWidget(rotulo);
    layout->addWidget(txtLocalizar, 1);
    layout->addWidget(cmdProxima);
    layout->addWidget(cmdAnterior);
    layout->addWidget(checkMaiusculas);
    layout->addWidget(cmdFechar);

    connect(txtLocalizar, &QLineEdit::returnPressed, this, [this] {
        Localiza(txtLocalizar->text(), QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    connect(txtLocalizar, &QLineEdit::textChanged, this, [this] { MarcaOcorrencias(); });
    connect(checkMaiusculas, &QCheckBox::toggled, this, [this] { MarcaOcorrencias(); });
    connect(cmdProxima, &QPushButton::clicked, this, [this] { Localiza(txtLocalizar->text()); });
    connect(cmdAnterior, &QPushButton::clicked, this,
            [this] { Localiza(txtLocalizar->text(), true); });
    connect(cmdFechar, &QToolButton::clicked, this, [this] { EscondeLocalizar(); });
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), pnlLocalizar);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] { EscondeLocalizar(); });
    pnlLocalizar->hide();
}

void TFVisualizador::Abre(const std::string& arquivo) {
    std::string bytes = LeArquivoRelatorio(arquivo);
    arquivo_ = NomeParaUsuario(arquivo);
    MostraPaginas(DividePaginas(bytes), QFileInfo(arquivo_).fileName());
}

void TFVisualizador::MostraPaginas(QList<TPagina> paginas, const QString& nome) {
    if (paginas.isEmpty())
        paginas.append(TPagina());
    paginas_ = std::move(paginas);
    textos_.clear();
    textos_.reserve(paginas_.size());
    for (const TPagina& p : paginas_)
        textos_.append(p.join(u'\n'));
    nome_ = nome;
    setWindowTitle(nome_.isEmpty() ? TituloVisualizador()
                                   : nome_ + QStringLiteral(" - ") + TituloVisualizador());
    paginaAtual_ = 0;
    AtualizaPagina();
}

void TFVisualizador::IrParaPagina(int pagina) {
    int indice = std::clamp(pagina, 1, TotalPaginas()) - 1;
    if (indice == paginaAtual_)
        return;
    paginaAtual_ = indice;
    AtualizaPagina();
}

void TFVisualizador::AtualizaPagina() {
    txtPagina->setPlainText(textos_[paginaAtual_]);
    txtPagina->moveCursor(QTextCursor::Start);
    txtPagina->horizontalScrollBar()->setValue(0);
    lblPagina->setText(QStringLiteral(u"Página %1 de %2").arg(PaginaAtual()).arg(TotalPaginas()));
    acPrimeira->setEnabled(paginaAtual_ > 0);
    acAnterior->setEnabled(paginaAtual_ > 0);
    acProxima->setEnabled(PaginaAtual() < TotalPaginas());
    acUltima->setEnabled(PaginaAtual() < TotalPaginas());
    MarcaOcorrencias();
}

void TFVisualizador::MarcaOcorrencias() {
    QList<QTextEdit::ExtraSelection> marcas;
    const QString texto = pnlLocalizar->isVisible() ? txtLocalizar->text() : QString();
    if (!texto.isEmpty()) {
        const auto caixa = checkMaiusculas->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const QString& pagina = textos_[paginaAtual_];
        QTextCharFormat formato;
        formato.setBackground(QColor(255, 236, 139));
        for (qsizetype pos = pagina.indexOf(texto, 0, caixa); pos >= 0;
             pos = pagina.indexOf(texto, pos + texto.size(), caixa)) {
            QTextEdit::ExtraSelection marca;
            marca.cursor = QTextCursor(txtPagina->document());
            marca.cursor.setPosition(static_cast<int>(pos));
            marca.cursor.setPosition(static_cast<int>(pos + texto.size()), QTextCursor::KeepAnchor);
            marca.format = formato;
            marcas.append(marca);
        }
    }
    txtPagina->setExtraSelections(marcas);
}

bool TFVisualizador::Localiza(const QString& texto, bool paraTras) {
    const auto caixa = checkMaiusculas->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QTextCursor atual = txtPagina->textCursor();
    const auto achado = LocalizaNasPaginas(
        textos_, texto, paginaAtual_, paraTras ? atual.selectionStart() - 1 : atual.selectionEnd(),
        paraTras, caixa);
    if (!achado) {
        if (!texto.isEmpty())
            statusBar()->showMessage(QStringLiteral(u"Texto não encontrado: \"%1\"").arg(texto),
                                     5000);
        return false;
    }
    IrParaPagina(achado->Pagina + 1);
    QTextCursor selecao(txtPagina->document());
    selecao.setPosition(static_cast<int>(achado->Posicao));
    selecao.setPosition(static_cast<int>(achado->Posicao + texto.size()), QTextCursor::KeepAnchor);
    txtPagina->setTextCursor(selecao);
    txtPagina->ensureCursorVisible();
    if (achado->DeuVolta)
        statusBar()->showMessage(
            paraTras ? QStringLiteral(u"A busca chegou ao início e recomeçou do fim.")
                     : QStringLiteral(u"A busca chegou ao fim e recomeçou do início."),
            5000);
    else
        statusBar()->clearMessage();
    return true;
}

void TFVisualizador::MostraLocalizar() {
    pnlLocalizar->show();
    QString selecionado = txtPagina->textCursor().selectedText();
    if (!selecionado.isEmpty() && !selecionado.contains(QChar::ParagraphSeparator))
        txtLocalizar->setText(selecionado);
    txtLocalizar->selectAll();
    txtLocalizar->setFocus(Qt::ShortcutFocusReason);
    MarcaOcorrencias();
}

void TFVisualizador::EscondeLocalizar() {
    pnlLocalizar->hide();
    txtPagina->setFocus();
    MarcaOcorrencias();
}

bool TFVisualizador::ExportaPdf(const QString& arquivo) {
    if (!ExportaRelatorioPdf(arquivo, nome_, paginas_, Colunas(), FonteDoRelatorio())) {
        TDialogos::Atual().Mensagem(
            this, QStringLiteral(u"Não foi possível gravar o PDF \"%1\".").arg(arquivo),
            TituloVisualizador(), TDialogos::Icone::Erro, TDialogos::Botoes::Ok);
        return false;
    }
    statusBar()->showMessage(QStringLiteral(u"Relatório exportado para \"%1\".").arg(arquivo),
                             10000);
    return true;
}

void TFVisualizador::ExportaPdfComDialogo() {
    QFileInfo origem(arquivo_.isEmpty() ? QStringLiteral("Relatorio.txt") : arquivo_);
    QString sugestao = origem.absoluteDir().filePath(origem.completeBaseName() + ".pdf");
    std::optional<QString> escolha =
        TDialogos::Atual().SalvaArquivo(this, QStringLiteral(u"Exportar o relatório para PDF"),
                                        sugestao, QStringLiteral(u"Documentos PDF (*.pdf)"));
    if (!escolha || escolha->isEmpty())
        return;
    QString arquivo = *escolha;
    if (!arquivo.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        arquivo += QStringLiteral(".pdf");
    ExportaPdf(arquivo);
}

void TFVisualizador::Imprime() {
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(nome_.isEmpty() ? TituloVisualizador() : nome_);
    impressora.setFromTo(1, TotalPaginas());
    if (!TDialogos::Atual().ConfiguraImpressao(this, QStringLiteral(u"Imprimir o relatório"),
                                               impressora, TotalPaginas()))
        return;
    int primeira = 0, ultima = 0;
    if (impressora.printRange() == QPrinter::PageRange) {
        primeira = impressora.fromPage();
        ultima = impressora.toPage();
    } else if (impressora.printRange() == QPrinter::CurrentPage) {
        primeira = ultima = PaginaAtual();
    }
    if (!ImprimeRelatorio(impressora, paginas_, Colunas(), FonteDoRelatorio(), primeira, ultima))
        TDialogos::Atual().Mensagem(this, QStringLiteral(u"Não foi possível imprimir o relatório."),
                                    TituloVisualizador(), TDialogos::Icone::Erro,
                                    TDialogos::Botoes::Ok);
    else
        statusBar()->showMessage(QStringLiteral(u"Relatório enviado para a impressora."), 5000);
}
