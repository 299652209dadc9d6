#pragma once
// The program's own message boxes and file dialog, really opened, read and answered the way a
// person would: an application-wide event filter sees each one appear, records what it shows,
// and answers it once its modal loop runs, by clicking a button, pressing Enter, or typing a
// path into the file dialog's name field.
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <optional>
#include <vector>

struct SeenBox {
    QString Caption;
    QString Text;       // the text as the label holds it
    bool ShownAsMarkup; // the label would render the text as rich text
    QMessageBox::Icon Icon;
    QStringList Buttons;   // in the box's order
    QString DefaultButton; // empty when none
    bool Owned;            // it has a parent window
};

class RealDialogs : public QObject {
    Q_OBJECT
public:
    RealDialogs(); // answers from now on
    ~RealDialogs() override;

    std::vector<SeenBox> Boxes;
    // The button each box gets clicked, by its text; when none is left, Enter answers the box
    // (its default button).
    std::deque<QString> Clicks;
    // What is typed into each file dialog, then Enter; nullopt or none left: Escape.
    std::deque<std::optional<QString>> Files;
    int FileDialogs = 0;
    QString LastFileDialogFilter;

    QStringList Texts() const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Answer(QMessageBox* box);
    void Answer(class QFileDialog* dialog);

    std::vector<QPointer<QWidget>> voltaPara_; // the active window before each open dialog
    QPointer<QWidget> devolvida_;              // the last window given the focus back
};
