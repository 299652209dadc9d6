#pragma once
// The application object: its title, and the default error display for any exception that
// escapes a handler while the message loop runs.
#include <QApplication>

class TAplicacao : public QApplication {
    Q_OBJECT
public:
    TAplicacao(int& argc, char** argv);
    ~TAplicacao() override;

    // The executable's file name up to its first ".", all but the first character lower case.
    static QString Titulo();
    bool notify(QObject* receptor, QEvent* evento) override;

    // Shows an error as the default error display does; an abort request shows nothing.
    static void MostraErro(std::exception_ptr erro);
};
