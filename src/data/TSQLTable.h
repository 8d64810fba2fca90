#pragma once
// TSQLTable: an SQL dataset over a whole table, read with " select * from "
// and the table name as the connection quotes it; no where clause and no
// order, so rows come as the server returns them.

#include "data/TCustomSQLDataSet.h"

#include <string>
#include <vector>

class TSQLTable : public TCustomSQLDataSet {
public:
    explicit TSQLTable(TComponent* owner = nullptr);

    const std::string& TableName() const { return FTableName; }
    // Closes an open table first.
    void SetTableName(const std::string& name);
    // Whether the table's primary key is read from the database. Without
    // it the table has no key fields.
    bool GetMetadata() const { return FGetMetadata; }
    void SetGetMetadata(bool value) { FGetMetadata = value; }

    std::string PSGetTableName() const override { return FTableName; }
    void PSSetCommandText(const std::string& text) override;
    std::vector<std::string> PSGetKeyFields() override;

protected:
    std::string GetQueryText() override;

private:
    std::string FTableName;
    bool FGetMetadata = true;
};
