#pragma once
// The statements a provider writes for the changes of a delta: one insert,
// update or delete per change, with positional "?" parameters in the order of
// their marks. Texts are built line by line and every line ends in CR LF;
// the exact wording (two blanks before "set", the trailing blank after a
// delete's table, " is null" for a null value as loaded) is what servers and
// logs have always received and must not drift.

#include "data/Params.h"
#include "data/ProviderTypes.h"
#include "data/engine/DSIntf.h"

#include <string>
#include <string_view>
#include <vector>

struct TGeneratedStatement {
    std::string SQL;
    TParams Params;
};

class TUpdateSQLGenerator {
public:
    // layout: the delta's fields with their provider flags, origins and
    // attributes; tableName: as found (quoted here); quoteChar: the
    // connection's identifier quote, possibly empty.
    TUpdateSQLGenerator(const TDSRecordLayout& layout, std::string_view tableName,
                        std::string quoteChar, TUpdateMode mode);

    // Builds the statement for one change. kind is dsRecInserted (newRow the
    // inserted row, oldRow unused), dsRecModified (oldRow as loaded, newRow
    // with the changed fields assigned) or dsRecDeleted (oldRow the row as
    // loaded). False, and no statement, for a modification that changes no
    // column that takes part in updates. Raises EDatabaseError "Unable to find
    // record.  No key specified" when no field is left for a where clause.
    bool Generate(DSRowStatus kind, const uint8_t* oldRow, const uint8_t* newRow,
                  TGeneratedStatement& out) const;

    const std::string& QuotedTableName() const { return FTable; }
    // The column a field is written to: its origin when the packet names
    // one, else the field's name.
    const std::string& ColumnName(int field) const { return FColumns[field]; }

    // A table name beginning or ending with ", ' or ` stands as it is;
    // otherwise each dot-separated part (at most three) is put in quoteChar.
    static std::string QuoteTableName(std::string_view name, std::string_view quoteChar);

private:
    bool takesNewValue(int field, const uint8_t* row) const;
    bool takesPartInWhere(int field, bool changed) const;
    void addParam(TParams& params, int field, const uint8_t* row) const;
    void appendWhere(std::string& sql, TParams& params, const uint8_t* oldRow,
                     const uint8_t* newRow) const;

    const TDSRecordLayout& FLayout;
    std::string FTable;
    std::string FQuote;
    TUpdateMode FMode;
    std::vector<std::string> FColumns;
};
