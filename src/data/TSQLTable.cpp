#include "data/TSQLTable.h"

#include "data/TUpdateSQLGenerator.h"
#include "platform/SysUtils.h"

TSQLTable::TSQLTable(TComponent* owner) : TCustomSQLDataSet(owner) {}

void TSQLTable::SetTableName(const std::string& name) {
    if (name == FTableName) return;
    Close();
    FTableName = name;
}

void TSQLTable::PSSetCommandText(const std::string& text) {
    CheckInactive();
    SetTableName(text);
}

std::string TSQLTable::GetQueryText() {
    if (Trim(FTableName).empty()) DatabaseError("No table name specified");
    return " select * from " + TUpdateSQLGenerator::QuoteTableName(FTableName, PSGetQuoteChar());
}

std::vector<std::string> TSQLTable::PSGetKeyFields() {
    if (!FGetMetadata || Trim(FTableName).empty()) return {};
    // The catalogue keeps unquoted names in upper case.
    std::string relation = FTableName;
    if (relation.size() >= 2 && relation.front() == '"' && relation.back() == '"')
        relation = relation.substr(1, relation.size() - 2);
    else
        relation = UpperCase(relation);

    std::unique_ptr<ISQLCommand> command = CreateCommand();
    TParam name{"RDB$RELATION_NAME", ftString, ptInput, Variant(relation)};
    const TParam* params[] = {&name};
    std::unique_ptr<ISQLCursor> cursor =
        executeCommand(*command,
                       "select s.rdb$field_name from rdb$relation_constraints c "
                       "join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name "
                       "where c.rdb$constraint_type = 'PRIMARY KEY' "
                       "and c.rdb$relation_name = ? order by s.rdb$field_position",
                       params);
    std::vector<std::string> keys;
    if (!cursor) return keys;
    while (fetchNext(*cursor)) {
        TDBXValue value;
        check(cursor->getValue(1, value), cursor.get());
        if (!value.IsNull) keys.push_back(TrimRight(value.Text));
    }
    cursor->close();
    return keys;
}
