#include "grid/TDBGridColumns.h"

#include "grid/TCustomDBGrid.h"

#include <algorithm>
#include <stdexcept>

TDBGridColumn* TDBGridColumns::Add() {
    FItems.push_back(std::make_unique<TDBGridColumn>(*this));
    changed();
    return FItems.back().get();
}

void TDBGridColumns::Delete(int index) {
    if (index < 0 || index >= Count()) throw std::out_of_range("column index out of range");
    FItems.erase(FItems.begin() + index);
    changed();
}

void TDBGridColumns::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    changed();
}

int TDBGridColumns::IndexOf(const TDBGridColumn* column) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].get() == column) return i;
    return -1;
}

void TDBGridColumns::Move(int from, int to) {
    if (from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto item = std::move(FItems[from]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(item));
    FGrid.columnMoved(from, to);
}

void TDBGridColumns::BeginUpdate() {
    FGrid.BeginLayout();
}

void TDBGridColumns::EndUpdate() {
    FGrid.EndLayout();
}

void TDBGridColumns::changed() {
    FGrid.columnsChanged();
}
