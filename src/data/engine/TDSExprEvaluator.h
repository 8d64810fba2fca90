#pragma once
// A filter or locate expression (DSExpr) made ready to run over the rows of a
// store: field reads become fixed offsets and constants are converted once,
// so that testing a row costs a few comparisons. Logic has three values: a
// comparison with a null is unknown, "not unknown" stays unknown, and a row
// matches only when the whole expression is true.
//
// Comparisons are exact for integers, currency and BCD (never through a
// double), by date and time for date fields, and by bytes for text (with
// ASCII and Latin-1 letters folded when the node asks for it). A tree that
// compares values of different families raises EDBClient "Type mismatch in
// expression".

#include "data/engine/DSIntf.h"
#include "data/engine/TDSRowStore.h"

#include <memory>

class TDSExprEvaluator {
public:
    struct Node {
        virtual ~Node() = default;
        // 0 false, 1 true, 2 unknown.
        virtual int Eval(const uint8_t* row) const = 0;
    };

    TDSExprEvaluator(const DSExpr& expression, const TDSRecordLayout& layout,
                     const TDSRowFormat& format);
    ~TDSExprEvaluator();

    bool Matches(const uint8_t* row) const { return FRoot->Eval(row) == 1; }

private:
    std::unique_ptr<Node> FRoot;
};
