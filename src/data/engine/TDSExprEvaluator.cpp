#include "data/engine/TDSExprEvaluator.h"

#include "data/engine/TDSExprNodes.h"

#include <cstdint>

using namespace dsexpr;

namespace {

class Builder {
public:
    Builder(const TDSRecordLayout& layout, const TDSRowFormat& format)
        : FLayout(layout), FFormat(format) {}

    NodePtr build(const DSExpr& e) {
        switch (e.kind) {
        case DSExpr::And:
        case DSExpr::Or:
            return logic(e);
        case DSExpr::Not: {
            if (e.Children.size() != 1 || !e.Children[0]) badTree();
            auto n = std::make_unique<NotNode>();
            n->C = build(*e.Children[0]);
            return n;
        }
        case DSExpr::IsNull: {
            if (e.Children.size() != 1 || !e.Children[0]) badTree();
            const DSExpr& c = *e.Children[0];
            if (c.kind == DSExpr::Const) return std::make_unique<ConstNode>(c.Value.IsEmpty());
            return std::make_unique<IsNullNode>(fieldRef(c, FLayout, FFormat));
        }
        case DSExpr::Field: {
            FieldRef f = fieldRef(e, FLayout, FFormat);
            if (f.Type != DSType::Boolean) typeMismatch();
            return std::make_unique<BoolFieldNode>(f);
        }
        case DSExpr::Const: {
            if (e.Value.IsEmpty()) return std::make_unique<ConstNode>(kUnknown);
            auto b = e.Value.GetIf<bool>();
            if (!b) typeMismatch();
            return std::make_unique<ConstNode>(*b ? kTrue : kFalse);
        }
        case DSExpr::Like:
            return prefix(e);
        case DSExpr::Eq:
        case DSExpr::Ne:
        case DSExpr::Lt:
        case DSExpr::Le:
        case DSExpr::Gt:
        case DSExpr::Ge:
            return comparison(e);
        }
        badTree(); // a kind out of the enumeration's range
    }

private:
    NodePtr logic(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        NodePtr l = build(*e.Children[0]), r = build(*e.Children[1]);
        if (e.kind == DSExpr::And) {
            auto n = std::make_unique<AndNode>();
            n->L = std::move(l);
            n->R = std::move(r);
            return n;
        }
        auto n = std::make_unique<OrNode>();
        n->L = std::move(l);
        n->R = std::move(r);
        return n;
    }

    NodePtr prefix(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        FieldRef f = fieldRef(*e.Children[0], FLayout, FFormat);
        const DSExpr& c = *e.Children[1];
        if (c.kind != DSExpr::Const) badTree();
        if (c.Value.IsEmpty()) return std::make_unique<ConstNode>(kUnknown);
        auto text = c.Value.GetIf<std::string>();
        if (f.Type != DSType::String || !text) typeMismatch();
        auto n = std::make_unique<PrefixNode>();
        n->F = f;
        n->Prefix = *text;
        n->CaseInsensitive = e.CaseInsensitive;
        return n;
    }

    Operand makeOperand(const DSExpr& e) {
        Operand o;
        if (e.kind == DSExpr::Field) {
            o.IsField = true;
            o.F = fieldRef(e, FLayout, FFormat);
            o.Value.Null = false;
            o.Value.Fam = DSFamilyOf(o.F.Type);
            return o;
        }
        if (e.kind != DSExpr::Const) badTree();
        o.Value = constScalar(e.Value);
        if (o.Value.Fam == Family::Text) {
            o.Text = std::string(o.Value.Text);
            o.Value.Text = {};
        }
        return o;
    }

    NodePtr comparison(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        DSExpr::Kind op = e.kind;
        Operand a = makeOperand(*e.Children[0]);
        Operand b = makeOperand(*e.Children[1]);
        if (!a.IsField && b.IsField) {
            std::swap(a, b);
            op = mirror(op);
        }
        // A comparison with a null constant is never true or false.
        if ((!a.IsField && a.Value.Null) || (!b.IsField && b.Value.Null))
            return std::make_unique<ConstNode>(kUnknown);
        if (!comparable(a.Value.Fam, b.Value.Fam)) typeMismatch();
        if (!a.IsField) { // two constants: decided now
            bool r =
                applyOp(op, compareScalars(a.Read(nullptr), b.Read(nullptr), e.CaseInsensitive));
            return std::make_unique<ConstNode>(r ? kTrue : kFalse);
        }
        if (!b.IsField) {
            if (NodePtr fast = fastFieldConst(a.F, op, b.Value)) return fast;
        }
        auto n = std::make_unique<CompareNode>();
        n->A = std::move(a);
        n->B = std::move(b);
        n->Op = op;
        n->CaseInsensitive = e.CaseInsensitive;
        return n;
    }

    // A node of N for the operator op, its members set by init.
    template <template <DSExpr::Kind> class N, class Init>
    static NodePtr forOp(DSExpr::Kind op, Init init) {
        auto make = [&](auto node) -> NodePtr {
            init(*node);
            return node;
        };
        switch (op) {
        case DSExpr::Eq:
            return make(std::make_unique<N<DSExpr::Eq>>());
        case DSExpr::Ne:
            return make(std::make_unique<N<DSExpr::Ne>>());
        case DSExpr::Lt:
            return make(std::make_unique<N<DSExpr::Lt>>());
        case DSExpr::Le:
            return make(std::make_unique<N<DSExpr::Le>>());
        case DSExpr::Gt:
            return make(std::make_unique<N<DSExpr::Gt>>());
        default:
            return make(std::make_unique<N<DSExpr::Ge>>());
        }
    }

    template <class T> struct Exact {
        template <DSExpr::Kind Op> using Wide = ExactConstNode<T, Op>;
        template <DSExpr::Kind Op> using Narrow = Exact64ConstNode<T, Op>;
    };

    template <class T>
    static NodePtr exactNode(DSExpr::Kind op, FieldRef f, __int128 factor, __int128 c) {
        if (factor == 1 && c >= INT64_MIN && c <= INT64_MAX)
            return forOp<Exact<T>::template Narrow>(op, [&](auto& n) {
                n.F = f;
                n.Const = static_cast<int64_t>(c);
            });
        return forOp<Exact<T>::template Wide>(op, [&](auto& n) {
            n.F = f;
            n.FieldFactor = factor;
            n.Const = c;
        });
    }

    // The common cases of a filter or a locate, without the general path's
    // conversions on every row; null when the general path must do.
    static NodePtr fastFieldConst(FieldRef f, DSExpr::Kind op, const Scalar& c) {
        if (f.Type == DSType::Date && c.Fam == Family::Moment && c.Exact % kMsPerDay == 0)
            return forOp<DateConstNode>(op, [&](auto& n) {
                n.F = f;
                n.Day = static_cast<int64_t>(c.Exact / kMsPerDay);
            });
        if (c.Fam != Family::Exact || DSFamilyOf(f.Type) != Family::Exact) return nullptr;
        int scale = f.Scale > c.Scale ? f.Scale : c.Scale;
        __int128 factor = kPow10[scale - f.Scale];
        __int128 value = c.Exact * kPow10[scale - c.Scale];
        switch (f.Type) {
        case DSType::Int16:
            return exactNode<int16_t>(op, f, factor, value);
        case DSType::Int32:
            return exactNode<int32_t>(op, f, factor, value);
        case DSType::Int64:
        case DSType::Currency:
        case DSType::Bcd:
            return exactNode<int64_t>(op, f, factor, value);
        case DSType::Boolean:
        case DSType::Double:
        case DSType::Date:
        case DSType::Time:
        case DSType::DateTime:
        case DSType::String:
            return nullptr;
        }
        return nullptr;
    }

    const TDSRecordLayout& FLayout;
    const TDSRowFormat& FFormat;
};

} // namespace

TDSExprEvaluator::TDSExprEvaluator(const DSExpr& expression, const TDSRecordLayout& layout,
                                   const TDSRowFormat& format) {
    FRoot = Builder(layout, format).build(expression);
}

TDSExprEvaluator::~TDSExprEvaluator() = default;
