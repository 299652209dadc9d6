#include "ui/DatePicker.h"

#include "platform/Erro.h"
#include "ui/CampoData.h"
#include "ui/ErroPadrao.h"
#include "ui/Texto1252.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

QString FormatoMascaravel(const QString& formatoCurto) {
    QString saida;
    for (qsizetype i = 0; i < formatoCurto.size();) {
        QChar c = formatoCurto[i];
        qsizetype j = i;
        while (j < formatoCurto.size() && formatoCurto[j] == c)
            ++j;
        if (c == u'd' || c == u'M')
            saida += QString(2, c);
        else if (c == u'y')
            saida += QStringLiteral("yyyy");
        else
            saida += formatoCurto.mid(i, j - i);
        i = j;
    }
    return saida;
}

TDatePicker::TDatePicker(const QString& formato, QWidget* parent)
    : QWidget(parent), formato_(FormatoMascaravel(formato)), edit_(new TCampoData(formato_, this)),
      botao_(new QToolButton(this)), calendario_(nullptr), popup_(new QWidget(this, Qt::Popup)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_);
    layout->addWidget(botao_);
    botao_->setArrowType(Qt::DownArrow);
    botao_->setFocusPolicy(Qt::NoFocus);
    botao_->setFixedWidth(17);
    setFocusProxy(edit_);
    setFocusPolicy(Qt::StrongFocus);

    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this, &TDatePicker::TextoEditado);

    calendario_ = new QCalendarWidget(popup_);
    auto* popupLayout = new QVBoxLayout(popup_);
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->addWidget(calendario_);
    connect(calendario_, &QCalendarWidget::clicked, this, &TDatePicker::Escolhida);
    connect(calendario_, &QCalendarWidget::activated, this, &TDatePicker::Escolhida);
    connect(botao_, &QToolButton::clicked, this, &TDatePicker::AbreCalendario);

    SetDate(QDate::currentDate());
}

TData TDatePicker::Date() const {
    if (!valor_.isValid())
        return DataZero;
    return {valor_.year(), valor_.month(), valor_.day()};
}

void TDatePicker::SetDate(const QDate& data) {
    valor_ = data;
    edit_->setText(data.toString(formato_));
}

void TDatePicker::Clear() {
    valor_ = QDate();
    edit_->clear();
}

bool TDatePicker::IsEmpty() const {
    // The mask's blanks and separators alone: no digit typed.
    for (QChar c : edit_->text())
        if (c.isDigit())
            return false;
    return true;
}

void TDatePicker::AbreCalendario() {
    calendario_->setSelectedDate(valor_.isValid() ? valor_ : QDate::currentDate());
    popup_->adjustSize();
    popup_->move(mapToGlobal(QPoint(0, height())));
    popup_->show();
    calendario_->setFocus();
}

void TDatePicker::Escolhida(QDate data) {
    SetDate(data);
    popup_->hide();
    Seleciona();
}

void TDatePicker::Seleciona() {
    // The focus may be here already (back from the calendar or a message box), or come back
    // only with the window's activation: either way it does not enter the field.
    edit_->setFocus();
    edit_->selectAll();
}

void TDatePicker::TextoEditado(const QString& texto) {
    QDate d = QDate::fromString(texto, formato_);
    if (d.isValid())
        valor_ = d;
}

bool TDatePicker::Confirma() {
    if (recusando_)
        return false;
    if (IsEmpty()) {
        Clear();
        return true;
    }
    QDate d = QDate::fromString(edit_->text(), formato_);
    if (d.isValid()) {
        valor_ = d;
        return true;
    }
    Recusa();
    return false;
}

void TDatePicker::AoSair() {
    if (recusaPendente_ || recusando_)
        return;
    if (IsEmpty() || QDate::fromString(edit_->text(), formato_).isValid()) {
        Confirma();
        return;
    }
    // Shown once the focus change is over, unless an action has shown it first.
    recusaPendente_ = true;
    QTimer::singleShot(0, this, [this] {
        if (recusaPendente_)
            Recusa();
    });
}

void TDatePicker::Recusa() {
    recusaPendente_ = false;
    recusando_ = true;
    Seleciona(); // the clerk types the date again over the refused one
    MostraErro(
        std::make_exception_ptr(EErro("'" + DeQString(edit_->text()) + "' is not a valid date")));
    recusando_ = false;
}

bool TDatePicker::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == edit_ && evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->modifiers() & Qt::AltModifier) {
            if (tecla->key() == Qt::Key_Down) {
                AbreCalendario();
                return true;
            }
            if (tecla->key() == Qt::Key_Delete) {
                Clear();
                return true;
            }
        }
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter)
            emit KeyPressed(13);
    }
    if (objeto == edit_ && evento->type() == QEvent::FocusOut) {
        auto* foco = static_cast<QFocusEvent*>(evento);
        if (foco->reason() != Qt::PopupFocusReason && foco->reason() != Qt::ActiveWindowFocusReason)
            AoSair();
    }
    return QWidget::eventFilter(objeto, evento);
}
