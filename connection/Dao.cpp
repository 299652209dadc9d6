#include "connection/Dao.h"

#include "connection/ConfiguraConexao.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "platform/Erro.h"

std::unique_ptr<TMyConnection> TDao::CreateConnection(const std::string& host,
                                                      const std::string& banco,
                                                      const std::string& usuario,
                                                      const std::string& senha, void* /*owner*/) {
    auto conexao = std::make_unique<TMyConnection>();
    TConfiguraConexaoMyDac::Configurar(*conexao, host, banco, usuario, senha);
    conexao->Connect(); // on failure the unique_ptr destroys the half-made object
    return conexao;
}

std::unique_ptr<TMyQuery> TDao::CreateQuery(TMyConnection& conexao, const std::string& sql,
                                            bool cachedUpdates, bool raiseErro) {
    auto query = std::make_unique<TMyQuery>("Query", conexao);
    query->SetSQL(sql);
    query->SetCachedUpdates(cachedUpdates);
    try {
        query->Open();
    } catch (const EErro&) {
        query.reset();
        if (raiseErro)
            throw;
    }
    return query;
}
