#pragma once
// A date picker: an edit field in the regional short date format that a clerk types over
// (TCampoData: the separators fixed, the whole date selected on entering), and a drop-down
// calendar (its button or Alt+Down), whose chosen date is left selected in the field. A typed date
// becomes the value as soon as the text forms a valid date. Moving the focus to another control
// while the text is not a valid date is refused: "'%s' is not a valid date" is shown by the
// default error display and the focus comes back, the date selected to be typed again (switching
// to another window is no refusal: the focus comes back there by itself). Alt+Del empties the
// field, which then reads as the zero date.
#include <QDate>
#include <QWidget>

#include "platform/DataHora.h"

class QLineEdit;
class QToolButton;
class QCalendarWidget;

class TDatePicker : public QWidget {
    Q_OBJECT
public:
    // The format is the short date format in Qt's notation (dd/MM/yyyy).
    explicit TDatePicker(const QString& formato, QWidget* parent = nullptr);

    // Today's date at creation; an empty field gives the zero date, 30 December 1899.
    TData Date() const;
    void SetDate(const QDate& data);
    void Clear();
    bool IsEmpty() const;

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Botao() const { return botao_; }
    QCalendarWidget* Calendario() const { return calendario_; }
    void AbreCalendario();
    // The focus here and the whole date selected, even where the focus already was, so that the
    // clerk types the date again (after a message about it).
    void Seleciona();
    QString Formato() const { return formato_; }

    // Confirms the text as leaving the field would, for actions that may start while the focus
    // is still here or before a pending refusal has been shown: true when it is a valid date or
    // empty (the value then follows it); otherwise the refusal is shown now, once, and false.
    bool Confirma();

signals:
    void KeyPressed(int caractere);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Escolhida(QDate data); // in the calendar
    void TextoEditado(const QString& texto);
    void AoSair();
    void Recusa();

    QString formato_;
    QLineEdit* edit_;
    QToolButton* botao_;
    QCalendarWidget* calendario_;
    QWidget* popup_;
    QDate valor_;
    bool recusaPendente_ = false; // a refusal waits for the focus change to end
    bool recusando_ = false;      // the refusal's box is open
};

// The short date format normalised to two-digit day and month and four-digit year, the form
// the input mask can hold.
QString FormatoMascaravel(const QString& formatoCurto);
