#pragma once
// The import window, the program's only window.
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class TImpres;

class TFImportarCadOfertas : public QWidget {
    Q_OBJECT
public:
    explicit TFImportarCadOfertas(QWidget* parent = nullptr);
    ~TFImportarCadOfertas() override;

    std::string Parar;
    std::string CodLoja;
    std::vector<std::string> Linhas;
    TImpres* Relatorio = nullptr;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void FormShow();
    void FormCreate();
    bool mostrada_ = false;
};

extern TFImportarCadOfertas* FImportarCadOfertas;
