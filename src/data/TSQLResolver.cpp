#include "data/TSQLResolver.h"

TSQLResolver::TSQLResolver(TSQLConnection& connection, TCommandFactory factory)
    : FConnection(connection), FFactory(std::move(factory)) {
    FConnection.RegisterClient(this);
}

TSQLResolver::~TSQLResolver() {
    FCommands.clear();
    FConnection.UnregisterClient(this);
}

void TSQLResolver::ConnectionClosing() {
    FCommands.clear();
}

int TSQLResolver::Execute(const TGeneratedStatement& statement) {
    const TParams& params = statement.Params;
    FParamRefs.clear();
    for (int i = 0; i < params.Count(); ++i)
        FParamRefs.push_back(&params.Items(i));
    auto it = FCommands.find(statement.SQL);
    const bool fresh = it == FCommands.end();
    if (fresh) it = FCommands.emplace(statement.SQL, FFactory()).first;
    ISQLCommand* command = it->second.get();
    try {
        // A writing statement yields no rows; a cursor here would only hold
        // the statement open.
        std::unique_ptr<ISQLCursor> rows =
            fresh ? FConnection.ExecuteCommand(*command, statement.SQL, FParamRefs)
                  : FConnection.ExecutePrepared(*command, FParamRefs);
        uint32_t affected = 0;
        FConnection.Check(command->getRowsAffected(affected), command);
        return static_cast<int>(affected);
    } catch (...) {
        // A statement that failed is prepared afresh next time rather than
        // trusted in whatever state the server left it.
        FCommands.erase(statement.SQL);
        throw;
    }
}
