#pragma once
// Creating connections and queries. Class-level operations only.
#include <memory>
#include <string>

class TMyConnection;
class TMyQuery;

class TDao {
public:
    TDao() = delete;
    // A connected connection; a failed connect destroys it and passes the error on unchanged.
    // The owner is always none in this program: the caller owns the result.
    static std::unique_ptr<TMyConnection>
    CreateConnection(const std::string& host, const std::string& banco, const std::string& usuario,
                     const std::string& senha, void* owner = nullptr);
    // An open query on the first row of its result. A failed open destroys the query; with
    // the raise flag on the error passes on unchanged, with it off the result is empty.
    static std::unique_ptr<TMyQuery> CreateQuery(TMyConnection& conexao, const std::string& sql,
                                                 bool cachedUpdates, bool raiseErro);
};
