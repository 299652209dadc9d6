#include "tools/OpcoesConf.h"

#include "tools/MensagensConf.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

struct TOpcaoValor {
    const char* Nome;
    std::string TOpcoesConf::*Campo = nullptr;
    std::string TValoresConf::*Valor = nullptr;
};

const TOpcaoValor OpcoesComValor[] = {
    {"--pasta", &TOpcoesConf::Pasta, nullptr},
    {"--host", nullptr, &TValoresConf::DatabaseIP},
    {"--banco", nullptr, &TValoresConf::Databasename},
    {"--usuario", nullptr, &TValoresConf::Usuario},
    {"--mac", nullptr, &TValoresConf::MacAdress},
    {"--codfisica", nullptr, &TValoresConf::CodFisica},
    {"--nome", nullptr, &TValoresConf::Name},
    {"--cnpj", nullptr, &TValoresConf::Cnpj},
    {"--senha-arquivo", &TOpcoesConf::ArquivoSenha, nullptr},
};

} // namespace

TOpcoesConf LeOpcoes(const std::vector<std::string>& argumentos) {
    TOpcoesConf opcoes;
    std::vector<std::string> dadas;
    auto marca = [&](const std::string& nome) {
        for (const auto& d : dadas)
            if (d == nome)
                Uso(T(u8"A opção ") + nome + T(u8" foi dada mais de uma vez."));
        dadas.push_back(nome);
    };
    for (size_t i = 0; i < argumentos.size(); ++i) {
        const std::string& arg = argumentos[i];
        if (arg == "--ajuda" || arg == "-h" || arg == "--help") {
            opcoes.Ajuda = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            Uso(T(u8"Argumento inesperado na posição ") + std::to_string(i + 1) +
                T(u8" (as opções começam com --)."));
        // "--nome=valor" or "--nome valor". Only the name is ever repeated back to the
        // user: the value might be a password typed in the wrong place.
        auto igual = arg.find('=');
        std::string nome = arg.substr(0, igual);
        std::optional<std::string> valor;
        if (igual != std::string::npos)
            valor = arg.substr(igual + 1);
        if (nome == "--senha" || nome == "--password" || nome == "--pass") {
            Uso(T(u8"A senha não é aceita na linha de comando, onde outros usuários a veem "
                  u8"(ps); use --senha-arquivo ARQUIVO ou --senha-stdin."));
        }
        if (nome == "--sobrescrever" || nome == "--senha-stdin") {
            if (valor)
                Uso(T(u8"A opção ") + nome + T(u8" não leva valor."));
            marca(nome);
            if (nome == "--sobrescrever")
                opcoes.Sobrescrever = true;
            else
                opcoes.OrigemSenha = TOrigemSenha::Entrada;
            continue;
        }
        const TOpcaoValor* opcao = nullptr;
        for (const auto& o : OpcoesComValor)
            if (nome == o.Nome)
                opcao = &o;
        if (!opcao)
            Uso(T(u8"Opção desconhecida: ") + Mostravel(nome.substr(0, 40)));
        if (!valor) {
            if (i + 1 >= argumentos.size())
                Uso(T(u8"Falta o valor da opção ") + nome + ".");
            valor = argumentos[++i];
        }
        marca(nome);
        if (opcao->Campo)
            opcoes.*(opcao->Campo) = *valor;
        else
            opcoes.Valores.*(opcao->Valor) = *valor;
        if (nome == "--senha-arquivo")
            opcoes.OrigemSenha = TOrigemSenha::Arquivo;
    }
    if (opcoes.Ajuda)
        return opcoes;
    auto dada = [&](const char* nome) {
        for (const auto& d : dadas)
            if (d == nome)
                return true;
        return false;
    };
    for (const char* obrigatoria : {"--host", "--banco", "--usuario"})
        if (!dada(obrigatoria))
            Uso(T(u8"Falta a opção ") + obrigatoria + ".");
    if (dada("--senha-arquivo") && dada("--senha-stdin"))
        Uso(T(u8"Use --senha-arquivo ou --senha-stdin, não as duas."));
    if (opcoes.OrigemSenha == TOrigemSenha::Nenhuma)
        Uso(T(u8"Falta a senha: use --senha-arquivo ARQUIVO ou --senha-stdin (ela não é "
              u8"aceita na linha de comando)."));
    return opcoes;
}

void ValidaValores(const TValoresConf& v) {
    auto limite = [](const char* opcao, const std::string& valor, size_t maximo) {
        if (valor.size() > maximo)
            Uso(T(u8"O valor de ") + opcao + T(u8" é longo demais: ") +
                std::to_string(valor.size()) + T(u8" caracteres, o programa aceita até ") +
                std::to_string(maximo) + ".");
    };
    if (v.DatabaseIP.empty())
        Uso(T(u8"O servidor (--host) não pode ficar vazio."));
    limite("--host", v.DatabaseIP, MaximoConexao);
    limite("--banco", v.Databasename, MaximoConexao);
    limite("--usuario", v.Usuario, MaximoConexao);
    if (v.Senha.size() > MaximoConexao)
        Uso(T(u8"A senha é longa demais: o programa aceita até ") + std::to_string(MaximoConexao) +
            T(u8" caracteres."));
    limite("--mac", v.MacAdress, MaximoOutros);
    limite("--codfisica", v.CodFisica, MaximoOutros);
    limite("--nome", v.Name, MaximoOutros);
    limite("--cnpj", v.Cnpj, MaximoOutros);

    // The port is what follows the one colon: the program splits it off for the
    // identification connection.
    auto doisPontos = v.DatabaseIP.find(':');
    if (doisPontos != std::string::npos) {
        std::string servidor = v.DatabaseIP.substr(0, doisPontos);
        std::string porta = v.DatabaseIP.substr(doisPontos + 1);
        int numero = 0;
        auto [p, erro] = std::from_chars(porta.data(), porta.data() + porta.size(), numero);
        bool valida = !porta.empty() && porta.size() <= 5 &&
                      porta.find_first_not_of("0123456789") == std::string::npos &&
                      erro == std::errc() && p == porta.data() + porta.size() && numero >= 1 &&
                      numero <= 65535;
        if (servidor.empty() || !valida)
            Uso(T(u8"Servidor inválido: \"") + Mostravel(v.DatabaseIP) +
                T(u8"\". Use NOME ou NOME:PORTA, com a porta de 1 a 65535."));
    }
    if (!v.CodFisica.empty()) {
        int32_t numero = 0;
        const char* fim = v.CodFisica.data() + v.CodFisica.size();
        auto [p, erro] = std::from_chars(v.CodFisica.data(), fim, numero);
        if (erro != std::errc() || p != fim)
            Uso(T(u8"--codfisica deve ser um número inteiro de -2147483648 a 2147483647: \"") +
                Mostravel(v.CodFisica.substr(0, 40)) + "\".");
    }
}

std::string TextoAjuda() {
    return T(
        u8"Uso: escreve-connection-conf [--pasta PASTA] --host SERVIDOR[:PORTA] --banco BANCO\n"
        u8"         --usuario USUARIO (--senha-arquivo ARQUIVO | --senha-stdin)\n"
        u8"         [--mac MAC] [--codfisica NUMERO] [--nome NOME] [--cnpj CNPJ]\n"
        u8"         [--sobrescrever]\n"
        u8"\n"
        u8"Grava o connection.conf do programa de importação, com cada valor em\n"
        u8"hexadecimal, como o programa o lê.\n"
        u8"\n"
        u8"  --pasta PASTA          pasta do programa (sem ela, a pasta deste comando,\n"
        u8"                         que a instalação põe ao lado do programa); se\n"
        u8"                         connection.conf for um link, grava o destino dele\n"
        u8"  --host SERVIDOR[:PORTA] o servidor MySQL; a porta vale só para a conexão\n"
        u8"                         de identificação (a conexão principal usa 3306)\n"
        u8"  --banco BANCO          o banco de dados da loja\n"
        u8"  --usuario USUARIO      o usuário da conexão de identificação\n"
        u8"  --senha-arquivo ARQUIVO a senha é o conteúdo do arquivo\n"
        u8"  --senha-stdin          a senha vem da entrada padrão (num terminal, é\n"
        u8"                         pedida sem aparecer na tela)\n"
        u8"                         Um fim de linha no final da senha é descartado.\n"
        u8"  --mac, --codfisica, --nome, --cnpj   os demais valores do arquivo\n"
        u8"  --sobrescrever         substitui um connection.conf que já exista\n"
        u8"\n"
        u8"A senha nunca é aceita na linha de comando, onde outros usuários a veem.\n"
        u8"Os valores são gravados com os bytes recebidos; o programa os lê como\n"
        u8"Windows-1252.\n"
        u8"\n"
        u8"Saída: 0 gravado; 1 falha ao ler ou gravar um arquivo; 2 opção ou valor\n"
        u8"inválido; 3 o arquivo já existe (sem --sobrescrever).\n");
}
