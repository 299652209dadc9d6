#pragma once
// The import window without a display: what the user entered, and a record of what the run did
// to it. The import run's tests on Linux and on Windows drive the run through it.
#include "import/ImportWindow.h"

#include <functional>
#include <string>
#include <vector>

class FakeWindow : public ImportWindow {
public:
    std::string Arquivo, CadOferta = "Ofertas de Natal";
    TData Inicio{2026, 12, 10}, Fim{2026, 12, 24};
    bool Promocao = true;

    std::string Descricao;
    int Progresso = 0;
    bool Habilitado = true;
    std::vector<Controle> Focos;
    std::vector<std::string> Mensagens;
    int Processamentos = 0;
    std::function<void(int)> AoProcessar; // receives the count, 1 for the one at the start

    std::string TextoArquivo() override { return Arquivo; }
    std::string TextoCadOferta() override { return CadOferta; }
    TData DataInicio() override { return Inicio; }
    TData DataFim() override { return Fim; }
    bool PromocaoMarcada() override { return Promocao; }
    void DefineDescricao(const std::string& t) override { Descricao = t; }
    void ZeraProgresso() override { Progresso = 0; }
    void AvancaProgresso() override { ++Progresso; }
    void HabilitaImportar(bool h) override { Habilitado = h; }
    void Foca(Controle c) override { Focos.push_back(c); }
    void Mensagem(const std::string& t) override { Mensagens.push_back(t); }
    void ProcessaMensagens() override {
        ++Processamentos;
        if (AoProcessar)
            AoProcessar(Processamentos);
    }
};
