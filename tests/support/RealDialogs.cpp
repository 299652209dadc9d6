#include "RealDialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#ifdef _WIN32
#include "DialogoArquivoWindows.h"
#endif

RealDialogs::RealDialogs() {
    qApp->installEventFilter(this);
}

RealDialogs::~RealDialogs() {
    qApp->removeEventFilter(this);
}

QStringList RealDialogs::Texts() const {
    QStringList textos;
    for (const SeenBox& b : Boxes)
        textos << b.Text;
    return textos;
}

bool RealDialogs::eventFilter(QObject* objeto, QEvent* evento) {
    const bool dialogo = qobject_cast<QMessageBox*>(objeto) || qobject_cast<QFileDialog*>(objeto);
    if (dialogo && evento->type() == QEvent::Show) {
        // A dialog opened as the one before it closes comes before its window is active again.
        QWidget* ativa = QApplication::activeWindow();
        voltaPara_.push_back(ativa ? ativa : devolvida_.data());
        // Answered from the dialog's own modal loop, once it is up.
        QPointer<QObject> p(objeto);
        QTimer::singleShot(0, this, [this, p] {
            if (auto* box = qobject_cast<QMessageBox*>(p))
                Answer(box);
            else if (auto* arquivo = qobject_cast<QFileDialog*>(p))
                Answer(arquivo);
        });
    } else if (dialogo && evento->type() == QEvent::Hide && !voltaPara_.empty()) {
        // A window manager gives the focus back to the window that had it before the dialog;
        // the bare X server and the offscreen platform do not, so the filter does.
        QPointer<QWidget> antes = voltaPara_.back();
        voltaPara_.pop_back();
        if (antes)
            antes->activateWindow();
        devolvida_ = antes;
    }
    return QObject::eventFilter(objeto, evento);
}

void RealDialogs::Answer(QMessageBox* box) {
    SeenBox visto;
    visto.Caption = box->windowTitle();
    auto* rotulo = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    visto.Text = rotulo ? rotulo->text() : box->text();
    const Qt::TextFormat formato = rotulo ? rotulo->textFormat() : box->textFormat();
    visto.ShownAsMarkup =
        formato == Qt::RichText || (formato == Qt::AutoText && Qt::mightBeRichText(visto.Text));
    visto.Icon = box->icon();
    for (QAbstractButton* b : box->buttons())
        visto.Buttons << b->text();
    visto.DefaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    visto.Owned = box->parentWidget() != nullptr;
    Boxes.push_back(visto);
    if (Clicks.empty()) {
        QTest::keyClick(box, Qt::Key_Return);
        return;
    }
    const QString escolha = Clicks.front();
    Clicks.pop_front();
    for (QAbstractButton* b : box->buttons())
        if (b->text() == escolha) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    box->reject(); // no such button: the box goes, and the recorded buttons tell why
}

void RealDialogs::Answer(QFileDialog* dialogo) {
    ++FileDialogs;
    LastFileDialogFilter = dialogo->nameFilters().join(QStringLiteral(";;"));
    std::optional<QString> escolha;
    if (!Files.empty()) {
        escolha = Files.front();
        Files.pop_front();
    }
    auto* nome = dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
#ifdef _WIN32
    if (!nome) { // the system's own dialog stands in for Qt's
        RespondeDialogoArquivoWindows(escolha);
        return;
    }
#endif
    if (!escolha || !nome) {
        QTest::keyClick(dialogo, Qt::Key_Escape);
        return;
    }
    // Typed into a field without the focus, each name the path passes through ("/", "/tmp", ...)
    // would stay selected in the list beside it and be taken for the choice.
    dialogo->activateWindow();
    if (!QTest::qWaitForWindowActive(dialogo))
        qWarning("The file dialog did not become active.");
    nome->setFocus();
    if (!QTest::qWaitFor([nome] { return nome->hasFocus(); }, 2000))
        qWarning("The file dialog's name field did not take the focus.");
    nome->selectAll();
    QTest::keyClicks(nome, *escolha);
    // The dialog reads the folder in a thread of its own: its Open button stays off, and the
    // completion list may open late, until the typed name is known there. A person waits for
    // the button, closes the list with Escape and presses Enter.
    auto* botoes = dialogo->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (QPushButton* abrir = botoes ? botoes->button(QDialogButtonBox::Open) : nullptr)
        if (!QTest::qWaitFor([abrir] { return abrir->isEnabled(); }, 5000))
            qWarning("The file dialog's Open button stayed off.");
    QTest::qWait(50);
    if (QCompleter* c = nome->completer(); c && c->popup() && c->popup()->isVisible())
        QTest::keyClick(c->popup(), Qt::Key_Escape);
    QTest::keyClick(nome, Qt::Key_Return);
}
