#include "ui/CampoData.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include <utility>

namespace {
bool LetraDeData(QChar c) {
    return c == u'd' || c == u'M' || c == u'y';
}

QString MascaraDe(const QString& formato) {
    QString mascara;
    for (QChar c : formato) {
        if (LetraDeData(c))
            mascara += u'9';
        else if (QStringLiteral("AaNnXx90Dd#HhBb<>![]{}\\").contains(c))
            mascara += QLatin1Char('\\') + c; // a separator that is a mask character
        else
            mascara += c;
    }
    return mascara + QStringLiteral(";_");
}
} // namespace

TCampoData::TCampoData(const QString& formato, QWidget* parent)
    : QLineEdit(parent), formato_(formato) {
    setInputMask(MascaraDe(formato_));
}

void TCampoData::focusInEvent(QFocusEvent* evento) {
    QLineEdit::focusInEvent(evento);
    switch (evento->reason()) {
    case Qt::MouseFocusReason:
        // Selected when the click ends, unless the press dragged a selection of its own.
        cliqueDeEntrada_ = true;
        break;
    case Qt::ActiveWindowFocusReason: // back from another window or a message box
    case Qt::PopupFocusReason:        // back from a menu or the calendar
    case Qt::MenuBarFocusReason:
        break; // the field is as the clerk left it
    default:
        selectAll();
    }
}

void TCampoData::focusOutEvent(QFocusEvent* evento) {
    cliqueDeEntrada_ = false;
    QLineEdit::focusOutEvent(evento);
}

void TCampoData::mousePressEvent(QMouseEvent* evento) {
    QLineEdit::mousePressEvent(evento);
    // Qt puts the caret at the nearest boundary between characters, then moves it off a
    // separator forwards or backwards depending on where it was: in a field typed over, the
    // character under the pointer is the one a clerk means.
    if (!cliqueDeEntrada_ && evento->button() == Qt::LeftButton &&
        !(evento->modifiers() & Qt::ShiftModifier) && !hasSelectedText())
        setCursorPosition(PosicaoSob(qRound(evento->position().x())));
}

void TCampoData::mouseReleaseEvent(QMouseEvent* evento) {
    QLineEdit::mouseReleaseEvent(evento);
    if (std::exchange(cliqueDeEntrada_, false) && evento->button() == Qt::LeftButton &&
        !hasSelectedText())
        selectAll();
}

bool TCampoData::Editavel(qsizetype posicao) const {
    return posicao < formato_.size() && LetraDeData(formato_[posicao]);
}

int TCampoData::PosicaoSob(int x) {
    // Half a digit to the left, the nearest boundary is the one before the digit under x.
    const int meioDigito = fontMetrics().horizontalAdvance(QLatin1Char('0')) / 2;
    qsizetype posicao = cursorPositionAt(QPoint(x - meioDigito, height() / 2));
    while (posicao < formato_.size() && !Editavel(posicao))
        ++posicao;
    if (posicao >= formato_.size()) // past the last digit: on it
        for (posicao = formato_.size() - 1; posicao > 0 && !Editavel(posicao);)
            --posicao;
    return static_cast<int>(posicao);
}
