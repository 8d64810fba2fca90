#pragma once
// Runs the statements a provider generates for one apply. Each distinct text
// is prepared once and re-bound for every change that needs it, so the
// server parses an apply's statements once; every execution still sends the
// exact generated text's parameters for that change. Commands are freed with
// the resolver, or earlier when the connection closes under it.

#include "data/TSQLConnection.h"
#include "data/TUpdateSQLGenerator.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TSQLResolver : public TSQLConnectionClient {
public:
    using TCommandFactory = std::function<std::unique_ptr<ISQLCommand>()>;

    // factory: makes a new statement object on the connection (the SQL
    // dataset's, so that the statement runs exactly where its rows came from).
    TSQLResolver(TSQLConnection& connection, TCommandFactory factory);
    ~TSQLResolver() override;
    TSQLResolver(const TSQLResolver&) = delete;
    TSQLResolver& operator=(const TSQLResolver&) = delete;

    // Prepares (once per text), binds the parameters by position and runs the
    // statement; returns the rows it affected. Driver failures raise the
    // connection's composed EDatabaseError.
    int Execute(const TGeneratedStatement& statement);

    void ConnectionClosing() override;

private:
    TSQLConnection& FConnection;
    TCommandFactory FFactory;
    std::map<std::string, std::unique_ptr<ISQLCommand>> FCommands;
    std::vector<const TParam*> FParamRefs; // the statement's values, in binding order
};
