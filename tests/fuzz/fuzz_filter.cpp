// Text as a filter: the compiler either builds an expression or refuses the
// text with an EDatabaseError; what it builds must run on every row, as a
// filter and as a locate, without any engine error. A first byte below 4
// chooses the options (bit 0 case-insensitive, bit 1 partial compare).

#include "data/FilterExpr.h"

#include <cstdlib>

namespace {

DSFieldDesc field(const char* name, DSType type, uint16_t size = 0, int8_t scale = 0) {
    DSFieldDesc f;
    f.Name = name;
    f.Type = type;
    f.Size = size;
    f.Scale = scale;
    return f;
}

std::unique_ptr<IDSBase> makeBase() {
    std::vector<DSFieldDesc> fields = {
        field("ID", DSType::Int32),         field("NAME", DSType::String, 20),
        field("FECHA", DSType::Date),       field("PORC", DSType::Bcd, 15, 4),
        field("MONTO", DSType::Currency),   field("RATE", DSType::Double),
        field("ACTIVO", DSType::Boolean),   field("HORA", DSType::Time),
        field("MOMENTO", DSType::DateTime), field("N16", DSType::Int16),
        field("N64", DSType::Int64)};
    auto writer = CreateDSWriter();
    writer->Init(fields, {});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> r(layout.RecordSize());
    const std::vector<std::vector<Variant>> rows = {
        {int32_t{1}, "Ana", TDateTime(42430), TBcd{190000, 4}, Currency{8000}, 1.5, true,
         TDateTime(0.5), TDateTime(42430.25), int32_t{-3}, int64_t{1} << 40},
        {int32_t{2}, "Ángel O'Neil", TDateTime(-18000), TBcd{-1, 4}, Currency{-8000}, -2.0, false,
         TDateTime(0.75), TDateTime(-18000.5), int32_t{7}, int64_t{-5}},
        {Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}},
    };
    for (const auto& values : rows) {
        layout.InitRecord(r.data());
        for (size_t f = 0; f < values.size(); ++f)
            layout.PutField(r.data(), static_cast<int>(f), values[f]);
        writer->AddRecord(r.data());
    }
    auto base = CreateDSBase();
    base->AppendData(writer->GetDataPacket(), true);
    return base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<IDSBase> base = makeBase();
    TFilterOptions options;
    if (size > 0 && data[0] < 4) {
        options.CaseInsensitive = data[0] & 1;
        options.PartialCompare = data[0] & 2;
        ++data;
        --size;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    TFormatSettings settings = DefaultFormatSettings();
    DSExprPtr expression;
    try {
        expression = CompileFilterExpression(text, base->Layout(), options, settings);
    } catch (const EDBClient&) {
        std::abort(); // the compiler raises its own errors, never the engine's
    } catch (const EDatabaseError&) {
        return 0;
    }
    auto cursor = base->CreateCursor();
    if (expression) (void)cursor->Locate(*expression);
    int handle = cursor->AddFilter(std::move(expression));
    int rows = 0;
    while (cursor->MoveRelative(1) == DBERR_NONE)
        ++rows;
    if (rows != cursor->GetRecordCount() || rows > 3) std::abort();
    cursor->DropFilter(handle);
    return 0;
}
