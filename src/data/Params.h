#pragma once
// Statement parameters: those named in a command text (a colon and a name
// outside quotes) and the positional ones a provider generates.

#include "data/FieldType.h"
#include "data/engine/Variant.h"

#include <string>
#include <string_view>
#include <vector>

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

struct TParam {
    std::string Name;
    TFieldType DataType = ftUnknown;
    TParamType ParamType = ptUnknown; // unknown is bound as input
    Variant Value;                    // Null or Unassigned is bound as null
};

class TParams {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TParam& Items(int i) { return FItems.at(i); }
    const TParam& Items(int i) const { return FItems.at(i); }
    TParam& Add(std::string name, TFieldType type = ftUnknown, Variant value = Variant(Null{})) {
        FItems.push_back(TParam{std::move(name), type, ptInput, std::move(value)});
        return FItems.back();
    }
    void Clear() { FItems.clear(); }
    // Without regard to case; null when there is none.
    TParam* FindParam(std::string_view name);
    const TParam* FindParam(std::string_view name) const;

private:
    std::vector<TParam> FItems;
};

// The statement with every named marker (":name" outside quotes, "::" kept as
// a colon) turned into "?", and the names in their order.
std::string ReplaceNamedParams(std::string_view sql, std::vector<std::string>* names);
