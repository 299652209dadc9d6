#pragma once
// The application object: the program's title, the wait cursor, Qt's own dialogs in Brazilian
// Portuguese, and the default error display for any exception that escapes a handler while the
// message loop runs.
#include <QApplication>

class TAplicacao : public QApplication {
    Q_OBJECT
public:
    TAplicacao(int& argc, char** argv);
    ~TAplicacao() override;

    // An exception that escapes a handler goes to the default error display.
    bool notify(QObject* receptor, QEvent* evento) override;
};
