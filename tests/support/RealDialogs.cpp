#include "RealDialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

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
    if (evento->type() == QEvent::Show && objeto->isWidgetType()) {
        // Answered from the dialog's own modal loop, once it is up.
        if (auto* box = qobject_cast<QMessageBox*>(objeto)) {
            QPointer<QMessageBox> p(box);
            QTimer::singleShot(0, this, [this, p] {
                if (p)
                    Answer(p);
            });
        } else if (auto* dialogo = qobject_cast<QFileDialog*>(objeto)) {
            QPointer<QFileDialog> p(dialogo);
            QTimer::singleShot(0, this, [this, p] {
                if (p)
                    Answer(p);
            });
        }
    }
    return QObject::eventFilter(objeto, evento);
}

void RealDialogs::Answer(QMessageBox* box) {
    SeenBox visto;
    visto.Caption = box->windowTitle();
    auto* rotulo = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    visto.Text = rotulo ? rotulo->text() : box->text();
    const Qt::TextFormat formato = rotulo ? rotulo->textFormat() : box->textFormat();
    visto.ShownAsMarkup = formato == Qt::RichText ||
                          (formato == Qt::AutoText && Qt::mightBeRichText(visto.Text));
    visto.Icon = box->icon();
    for (QAbstractButton* b : box->buttons())
        visto.Buttons << b->text();
    visto.DefaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    visto.Owned = box->parentWidget() != nullptr;
    Boxes.push_back(visto);
    if (WhileOpen)
        WhileOpen(visto);
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
    if (!escolha || !nome) {
        QTest::keyClick(dialogo, Qt::Key_Escape);
        return;
    }
    nome->setFocus();
    nome->selectAll();
    QTest::keyClicks(nome, *escolha);
    // The completion list that typing may open would take the Enter for itself.
    if (QCompleter* c = nome->completer(); c && c->popup() && c->popup()->isVisible())
        c->popup()->hide();
    QTest::keyClick(nome, Qt::Key_Return);
}
