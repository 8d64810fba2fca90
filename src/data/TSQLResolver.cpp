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
    auto it = FCommands.find(statement.SQL);
    if (it == FCommands.end()) {
        std::unique_ptr<ISQLCommand> command = FFactory();
        FConnection.Check(command->prepare(statement.SQL, static_cast<uint16_t>(params.Count())),
                          command.get());
        it = FCommands.emplace(statement.SQL, std::move(command)).first;
    }
    ISQLCommand* command = it->second.get();
    try {
        for (int i = 0; i < params.Count(); ++i)
            FConnection.Check(command->setParameter(static_cast<uint16_t>(i + 1),
                                                    TSQLConnection::ToDriverValue(params.Items(i))),
                              command);
        ISQLCursor* cursor = nullptr;
        FConnection.Check(command->execute(&cursor), command);
        // A writing statement yields no rows; a cursor here would only hold
        // the statement open.
        std::unique_ptr<ISQLCursor> rows(cursor);
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
