#include "ScriptedDialogs.h"

#include <QPrinter>

#include <memory>

namespace {
ScriptedDialogs* current = nullptr;
std::unique_ptr<TDialogos> previous;
} // namespace

ScriptedDialogs& ScriptedDialogs::Install() {
    auto fresh = std::make_unique<ScriptedDialogs>();
    current = fresh.get();
    auto old = TDialogos::Instala(std::move(fresh));
    if (!previous)
        previous = std::move(old);
    return *current;
}

void ScriptedDialogs::Uninstall() {
    if (previous)
        TDialogos::Instala(std::move(previous));
    current = nullptr;
}

TDialogos::Resposta ScriptedDialogs::Mensagem(QWidget* dono, const QString& texto,
                                              const QString& titulo, Icone icone, Botoes botoes) {
    Shown.push_back({texto, titulo, icone, botoes, dono != nullptr});
    if (OnShow)
        OnShow(Shown.back());
    if (botoes == Botoes::Ok)
        return Resposta::Ok;
    if (Answers.empty())
        return Resposta::Nao;
    Resposta r = Answers.front();
    Answers.pop_front();
    return r;
}

namespace {
std::optional<QString> Next(std::deque<std::optional<QString>>& script) {
    if (script.empty())
        return std::nullopt;
    const bool given = script.front().has_value();
    QString next = given ? *script.front() : QString();
    script.pop_front();
    if (!given)
        return std::nullopt;
    return next;
}
} // namespace

std::optional<QString> ScriptedDialogs::AbreArquivo(QWidget*, const QString& descricao,
                                                    const QString& padrao) {
    ++FileDialogs;
    LastFilter = descricao + "|" + padrao;
    return Next(FileChoices);
}

std::optional<QString> ScriptedDialogs::SalvaArquivo(QWidget*, const QString& titulo,
                                                     const QString& sugestao,
                                                     const QString& filtro) {
    SaveDialogs << titulo + "|" + sugestao + "|" + filtro;
    return Next(SaveChoices);
}

bool ScriptedDialogs::ConfiguraImpressao(QWidget*, const QString& titulo, QPrinter& impressora,
                                         int ultimaPagina) {
    PrintDialogs << titulo + "|" + QString::number(ultimaPagina);
    std::optional<QString> file = Next(PrintToFiles);
    if (!file)
        return false;
    impressora.setOutputFormat(QPrinter::PdfFormat); // "Print to file", as a person may pick
    impressora.setOutputFileName(*file);
    return true;
}
