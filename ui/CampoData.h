#pragma once
// The edit field of a date picker, made for a clerk who types the date straight in. Its input
// mask holds the short date format's separators fixed; typing a separator where the mask has
// one steps over it. However the field is entered (Tab, Shift+Tab, Enter from the field before,
// the program moving the focus, a click while another control has the focus), the whole date is
// selected, so digits typed at once replace it from its first digit. A click in the field that
// already has the focus puts the caret on the character under the pointer, the one the next
// digit replaces (the digit after it when that is a separator).
#include <QLineEdit>

class TCampoData : public QLineEdit {
public:
    // The format is the short date format in Qt's notation, one letter a digit (dd/MM/yyyy).
    TCampoData(const QString& formato, QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    bool Editavel(qsizetype posicao) const;
    int PosicaoSob(int x);

    QString formato_;
    bool cliqueDeEntrada_ = false; // the press that gave the field the focus is not released yet
};
