#pragma once
// TSQLQuery: an SQL dataset whose statement is its SQL text, run as written
// with the parameters named in it (a colon and a name, outside quotes).

#include "data/TCustomSQLDataSet.h"

#include <string>

class TSQLQuery : public TCustomSQLDataSet {
public:
    explicit TSQLQuery(TComponent* owner = nullptr);

    // The statement as lines. Changing the lines directly takes effect at
    // the next open; the named parameters are read again then.
    TStrings& SQL() { return FSQL; }
    const TStrings& SQL() const { return FSQL; }
    // The lines joined by line feeds. Setting closes an open query, and the
    // parameters named in the new text become Params (values kept by name).
    std::string CommandText() const;
    void SetCommandText(const std::string& text);

    // The single table of a plain "select ... from TABLE" statement; ""
    // when the statement reads a join, several tables or a procedure.
    std::string PSGetTableName() const override;
    void PSSetCommandText(const std::string& text) override;

protected:
    std::string GetQueryText() override;

private:
    void refreshParams(const std::string& text);

    TStringList FSQL;
};
