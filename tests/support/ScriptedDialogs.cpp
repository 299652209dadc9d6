#include "ScriptedDialogs.h"

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

std::optional<QString> ScriptedDialogs::AbreArquivo(QWidget*, const QString& descricao,
                                                    const QString& padrao) {
    ++FileDialogs;
    LastFilter = descricao + "|" + padrao;
    if (FileChoices.empty())
        return std::nullopt;
    const bool chosen = FileChoices.front().has_value();
    QString path = chosen ? *FileChoices.front() : QString();
    FileChoices.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}
