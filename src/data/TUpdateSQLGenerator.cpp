#include "data/TUpdateSQLGenerator.h"

#include "data/engine/DSTypes.h"
#include "platform/Exceptions.h"

namespace {

constexpr std::string_view kEol = "\r\n";
// Longer values (blobs, long texts) cannot be compared reliably by the server.
constexpr size_t kMaxWhereFieldBytes = 8192;

// Replaces a trailing suffix, as the generated lists end in a separator
// that the last item must not carry.
void replaceSuffix(std::string& s, std::string_view suffix, std::string_view by) {
    if (s.size() >= suffix.size() &&
        s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0)
        s.replace(s.size() - suffix.size(), suffix.size(), by);
}

} // namespace

TUpdateSQLGenerator::TUpdateSQLGenerator(const TDSRecordLayout& layout, std::string_view tableName,
                                         std::string quoteChar, TUpdateMode mode)
    : FLayout(layout), FTable(QuoteTableName(tableName, quoteChar)), FQuote(std::move(quoteChar)),
      FMode(mode) {
    FColumns.reserve(layout.Fields().size());
    for (const DSFieldDesc& f : layout.Fields())
        FColumns.push_back(f.Origin.empty() ? f.Name : f.Origin);
}

std::string TUpdateSQLGenerator::QuoteTableName(std::string_view name, std::string_view quoteChar) {
    if (name.empty()) return {};
    auto isQuote = [](char c) { return c == '"' || c == '\'' || c == '`'; };
    if (isQuote(name.front()) || isQuote(name.back())) return std::string(name);
    std::string out;
    int parts = 0;
    size_t start = 0;
    while (true) {
        size_t dot = name.find('.', start);
        // The third part takes whatever follows, dots included.
        if (dot == std::string_view::npos || parts == 2) {
            out.append(quoteChar).append(name.substr(start)).append(quoteChar);
            break;
        }
        out.append(quoteChar).append(name.substr(start, dot - start)).append(quoteChar) += '.';
        start = dot + 1;
        ++parts;
    }
    return out;
}

bool TUpdateSQLGenerator::takesNewValue(int field, const uint8_t* row) const {
    const DSFieldDesc& f = FLayout.Fields()[field];
    if (!(f.ProviderFlags & pfInUpdate) || (f.ProviderFlags & pfHidden)) return false;
    if (f.Attributes & (fldAttrReadOnly | fldAttrServerCalc)) return false;
    return FLayout.Status(row, field) != DSFieldStatus::Unassigned;
}

bool TUpdateSQLGenerator::takesPartInWhere(int field, bool changed) const {
    const DSFieldDesc& f = FLayout.Fields()[field];
    if ((f.Attributes & fldAttrServerCalc) || DSDataBytes(f.Type, f.Size) >= kMaxWhereFieldBytes)
        return false;
    switch (FMode) {
    case upWhereAll:
        return (f.ProviderFlags & pfInWhere) != 0;
    case upWhereChanged:
        return ((f.ProviderFlags & pfInWhere) && changed) || (f.ProviderFlags & pfInKey);
    case upWhereKeyOnly:
        return (f.ProviderFlags & pfInKey) != 0;
    }
    return false;
}

void TUpdateSQLGenerator::addParam(TParams& params, int field, const uint8_t* row) const {
    params.Add(FColumns[field], FieldTypeOfDSType(FLayout.Fields()[field].Type),
               FLayout.GetField(row, field));
}

void TUpdateSQLGenerator::appendWhere(std::string& sql, TParams& params, const uint8_t* oldRow,
                                      const uint8_t* newRow) const {
    std::string where;
    for (int i = 0; i < FLayout.FieldCount(); ++i) {
        bool changed = newRow && FLayout.Status(newRow, i) != DSFieldStatus::Unassigned;
        if (!takesPartInWhere(i, changed)) continue;
        where.append(" ").append(FQuote).append(FColumns[i]).append(FQuote);
        if (FLayout.Status(oldRow, i) == DSFieldStatus::Null) {
            where.append(" is null and").append(kEol);
        } else {
            where.append(" = ? and").append(kEol);
            addParam(params, i, oldRow);
        }
    }
    if (where.empty()) throw EDatabaseError("Unable to find record.  No key specified");
    replaceSuffix(where, std::string(" and") + std::string(kEol), kEol);
    sql.append("where").append(kEol).append(where);
}

bool TUpdateSQLGenerator::Generate(DSRowStatus kind, const uint8_t* oldRow, const uint8_t* newRow,
                                   TGeneratedStatement& out) const {
    out.SQL.clear();
    out.Params.Clear();
    std::string& sql = out.SQL;
    switch (kind) {
    case dsRecInserted: {
        std::string columns = "  (", marks = "  (";
        for (int i = 0; i < FLayout.FieldCount(); ++i) {
            if (!takesNewValue(i, newRow)) continue;
            columns.append(FQuote).append(FColumns[i]).append(FQuote).append(", ");
            marks.append("?, ");
            addParam(out.Params, i, newRow);
        }
        replaceSuffix(columns, ", ", ")");
        replaceSuffix(marks, ", ", ")");
        sql.append("insert into ").append(FTable).append(kEol);
        sql.append(columns).append(kEol).append("values").append(kEol).append(marks).append(kEol);
        return true;
    }
    case dsRecModified: {
        std::string set;
        for (int i = 0; i < FLayout.FieldCount(); ++i) {
            if (!takesNewValue(i, newRow)) continue;
            set.append(" ").append(FQuote).append(FColumns[i]).append(FQuote).append(" = ?,");
            set.append(kEol);
            addParam(out.Params, i, newRow);
        }
        if (set.empty()) {
            out.Params.Clear();
            return false;
        }
        replaceSuffix(set, std::string(",") + std::string(kEol), kEol);
        sql.append("update ").append(FTable).append("  set").append(kEol).append(set);
        appendWhere(sql, out.Params, oldRow, newRow);
        return true;
    }
    case dsRecDeleted:
        sql.append("delete from ").append(FTable).append(" ").append(kEol);
        appendWhere(sql, out.Params, oldRow, nullptr);
        return true;
    default:
        throw EDatabaseError("Invalid update kind");
    }
}
