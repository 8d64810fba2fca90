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
        // Eval of rows[0..n) into out[0..n). A scan over many rows calls this
        // once per block of rows, so that the common comparisons of a field
        // with a constant run as a loop of their own instead of two virtual
        // calls per row.
        virtual void EvalRows(const uint8_t* const* rows, uint32_t n, uint8_t* out) const {
            for (uint32_t i = 0; i < n; ++i)
                out[i] = static_cast<uint8_t>(Eval(rows[i]));
        }
    };

    TDSExprEvaluator(const DSExpr& expression, const TDSRecordLayout& layout,
                     const TDSRowFormat& format);
    ~TDSExprEvaluator();

    bool Matches(const uint8_t* row) const { return FRoot->Eval(row) == 1; }
    // Matches of rows[0..n) at once: match[i] is 1 exactly when rows[i]
    // matches (0 false, 2 unknown otherwise).
    void MatchRows(const uint8_t* const* rows, uint32_t n, uint8_t* match) const {
        FRoot->EvalRows(rows, n, match);
    }

private:
    std::unique_ptr<Node> FRoot;
};
