#include "data/engine/TDSCursor.h"

#include "data/engine/DSErrors.h"
#include "data/engine/TDSTable.h"

#include <algorithm>
#include <bit>
#include <cassert>

TDSCursor::TDSCursor(std::shared_ptr<TDSTable> table) : FTable(std::move(table)) {
    FTable->Register(this);
    rebuild();
}

TDSCursor::~TDSCursor() {
    FTable->Unregister(this);
}

const TDSRecordLayout& TDSCursor::Layout() const {
    return FTable->Layout();
}

// ---- the view ----

bool TDSCursor::passes(uint32_t row) const {
    const uint8_t* r = FTable->Store().Row(row);
    if (r[0] & dsRecDeleted) return false;
    for (const Filter& f : FFilters)
        if (f.Evaluator && !f.Evaluator->Matches(r)) return false;
    return true;
}

void TDSCursor::growTo(uint32_t rows, uint32_t blocks) {
    FBits.resize((static_cast<size_t>(rows) + 63) / 64, 0);
    if (FBlockCount.size() < blocks) FBlockCount.resize(blocks, 0);
}

void TDSCursor::setVisible(uint32_t row, bool visible) {
    assert(isVisible(row) != visible);
    FBits[row >> 6] ^= uint64_t{1} << (row & 63);
    const TDSRowOrder& order = FTable->Order();
    uint32_t block = order.BlockOf(row);
    int delta = visible ? 1 : -1;
    FBlockCount[block] += delta;
    FTotal += delta;
    renumbered();
    if (FTreeValid && FTreeShape == order.Shape())
        FTree.Add(order.PosOf(block), delta);
    else
        FTreeValid = false;
}

uint32_t TDSCursor::gatherRows(const std::vector<uint32_t>& rows, BlockScan& scan,
                               bool visibleOnly) const {
    if (scan.Rows.size() < rows.size()) {
        scan.Rows.resize(rows.size());
        scan.Ids.resize(rows.size());
        scan.Match.resize(rows.size());
    }
    // Every row is written and only the wanted ones counted, which spares
    // the loop a branch the processor could not predict.
    const TDSRowStore::Locator store = FTable->Store().Rows();
    const uint8_t** out = scan.Rows.data();
    uint32_t* ids = scan.Ids.data();
    uint32_t n = 0;
    if (visibleOnly) {
        const uint64_t* bits = FBits.data();
        for (uint32_t row : rows) {
            out[n] = store.Row(row);
            ids[n] = row;
            n += static_cast<uint32_t>((bits[row >> 6] >> (row & 63)) & 1);
        }
    } else {
        for (uint32_t row : rows) {
            const uint8_t* r = store.Row(row);
            out[n] = r;
            ids[n] = row;
            n += !(r[0] & dsRecDeleted);
        }
    }
    return n;
}

uint32_t TDSCursor::keepMatches(const TDSExprEvaluator& evaluator, BlockScan& scan, uint32_t n) {
    if (n == 0) return 0;
    const uint8_t* match = scan.Match.data();
    evaluator.MatchRows(scan.Rows.data(), n, scan.Match.data());
    const uint8_t** rows = scan.Rows.data();
    uint32_t* ids = scan.Ids.data();
    uint32_t kept = 0;
    for (uint32_t i = 0; i < n; ++i) {
        rows[kept] = rows[i];
        ids[kept] = ids[i];
        kept += match[i] == 1;
    }
    return kept;
}

void TDSCursor::rebuild() {
    const TDSRowOrder& order = FTable->Order();
    FBits.assign((static_cast<size_t>(FTable->Store().Count()) + 63) / 64, 0);
    FBlockCount.assign(order.BlockCount(), 0);
    FTotal = 0;
    std::vector<const TDSExprEvaluator*> filters;
    for (const Filter& f : FFilters)
        if (f.Evaluator) filters.push_back(f.Evaluator.get());
    BlockScan scan;
    for (uint32_t pos = 0; pos < order.BlockCount(); ++pos) {
        uint32_t block = order.BlockAt(pos);
        uint32_t n = gatherRows(order.Rows(block), scan, false);
        // All filters but the last narrow the rows down; the last one's
        // matches go straight into the view.
        for (size_t f = 0; f + 1 < filters.size(); ++f)
            n = keepMatches(*filters[f], scan, n);
        const uint8_t* match = nullptr;
        if (!filters.empty() && n > 0) {
            filters.back()->MatchRows(scan.Rows.data(), n, scan.Match.data());
            match = scan.Match.data();
        }
        uint32_t count = 0;
        for (uint32_t i = 0; i < n; ++i)
            if (!match || match[i] == 1) {
                FBits[scan.Ids[i] >> 6] |= uint64_t{1} << (scan.Ids[i] & 63);
                ++count;
            }
        FBlockCount[block] = count;
        FTotal += count;
    }
    FTreeValid = false;
    renumbered();
}

void TDSCursor::ensureTree() const {
    const TDSRowOrder& order = FTable->Order();
    if (FTreeValid && FTreeShape == order.Shape()) return;
    std::vector<uint32_t> counts(order.BlockCount());
    for (uint32_t pos = 0; pos < order.BlockCount(); ++pos)
        counts[pos] = FBlockCount[order.BlockAt(pos)];
    FTree.Build(counts);
    FTreeValid = true;
    FTreeShape = order.Shape();
}

void TDSCursor::OnRowsAppended(uint32_t first, uint32_t end) {
    const TDSRowOrder& order = FTable->Order();
    growTo(end, order.BlockCount());
    const bool everyRow =
        std::all_of(FFilters.begin(), FFilters.end(), [](const Filter& f) { return !f.Evaluator; });
    // Appended rows come after every row: no number changes.
    for (uint32_t row = first; row < end; ++row) {
        // Loaded rows are never deleted: only filters can hide them.
        if (!everyRow && !passes(row)) continue;
        FBits[row >> 6] |= uint64_t{1} << (row & 63);
        ++FBlockCount[order.BlockOf(row)];
        ++FTotal;
    }
    FTreeValid = false;
}

void TDSCursor::OnBlockSplit(uint32_t block, uint32_t newBlock) {
    const TDSRowOrder& order = FTable->Order();
    growTo(FTable->Store().Count(), order.BlockCount());
    for (uint32_t b : {block, newBlock}) {
        uint32_t count = 0;
        for (uint32_t row : order.Rows(b))
            if (row < FBits.size() * 64 && isVisible(row)) ++count;
        FBlockCount[b] = count;
    }
    FTreeValid = false;
}

void TDSCursor::OnRowInserted(uint32_t row) {
    growTo(FTable->Store().Count(), FTable->Order().BlockCount());
    if (passes(row)) setVisible(row, true);
}

void TDSCursor::OnRowChanged(uint32_t row) {
    bool now = passes(row);
    if (now == isVisible(row)) return;
    if (!now && FAt == At::Row && FRow == row) {
        // The current row leaves the view: step to the row after it.
        auto [pos, offset] = currentPos();
        uint32_t next;
        setVisible(row, false);
        if (firstFrom(pos, offset + 1, next))
            moveTo(next, -1);
        else
            FAt = At::Eof;
        return;
    }
    setVisible(row, now);
}

bool TDSCursor::CheckConsistency() const {
    const TDSRowOrder& order = FTable->Order();
    uint32_t total = 0;
    for (uint32_t pos = 0; pos < order.BlockCount(); ++pos) {
        uint32_t block = order.BlockAt(pos), count = 0;
        for (uint32_t row : order.Rows(block)) {
            if (passes(row) != isVisible(row)) return false;
            count += isVisible(row);
        }
        if (count != FBlockCount[block]) return false;
        ensureTree();
        if (FTree.Prefix(pos) != total) return false;
        total += count;
    }
    if (total != FTotal) return false;
    if (FAt != At::Row) return true;
    return isVisible(FRow) && (FSeq < 0 || FSeq == countRank());
}

// ---- positions ----

std::pair<uint32_t, uint32_t> TDSCursor::currentPos() const {
    assert(FAt == At::Row);
    const TDSRowOrder& order = FTable->Order();
    if (FPosRow != FRow || FPosVersion != order.Version()) {
        FPos = order.Find(FRow);
        FPosRow = FRow;
        FPosVersion = order.Version();
    }
    return FPos;
}

bool TDSCursor::firstFrom(uint32_t pos, uint32_t offset, uint32_t& row) const {
    const TDSRowOrder& order = FTable->Order();
    for (; pos < order.BlockCount(); ++pos, offset = 0) {
        uint32_t block = order.BlockAt(pos);
        if (FBlockCount[block] == 0) continue;
        const std::vector<uint32_t>& rows = order.Rows(block);
        for (uint32_t i = offset; i < rows.size(); ++i)
            if (isVisible(rows[i])) {
                row = rows[i];
                FPosRow = row;
                FPos = {pos, i};
                FPosVersion = order.Version();
                return true;
            }
    }
    return false;
}

bool TDSCursor::lastBefore(uint32_t pos, uint32_t offset, uint32_t& row) const {
    const TDSRowOrder& order = FTable->Order();
    for (int64_t p = pos; p >= 0; --p) {
        uint32_t block = order.BlockAt(static_cast<uint32_t>(p));
        const std::vector<uint32_t>& rows = order.Rows(block);
        uint32_t end = p == pos ? std::min<uint32_t>(offset, rows.size()) : rows.size();
        if (FBlockCount[block] == 0) continue;
        for (uint32_t i = end; i-- > 0;)
            if (isVisible(rows[i])) {
                row = rows[i];
                FPosRow = row;
                FPos = {static_cast<uint32_t>(p), i};
                FPosVersion = order.Version();
                return true;
            }
    }
    return false;
}

int64_t TDSCursor::countRank() const {
    auto [pos, offset] = currentPos();
    ensureTree();
    int64_t rank = FTree.Prefix(pos);
    const std::vector<uint32_t>& rows = FTable->Order().Rows(FTable->Order().BlockAt(pos));
    for (uint32_t i = 0; i < offset; ++i)
        rank += isVisible(rows[i]);
    return rank + 1;
}

uint32_t TDSCursor::select(int64_t k) const {
    assert(k >= 1 && k <= FTotal);
    ensureTree();
    int64_t before = 0;
    uint32_t pos = FTree.Find(k, &before);
    const TDSRowOrder& order = FTable->Order();
    const std::vector<uint32_t>& rows = order.Rows(order.BlockAt(pos));
    for (uint32_t i = 0; i < rows.size(); ++i)
        if (isVisible(rows[i]) && ++before == k) {
            FPosRow = rows[i];
            FPos = {pos, i};
            FPosVersion = order.Version();
            return rows[i];
        }
    assert(false && "the count tree and the bits agree");
    return 0;
}

int TDSCursor::status() const {
    switch (FAt) {
    case At::Bof:
        return DBERR_BOF;
    case At::Eof:
        return DBERR_EOF;
    case At::Row:
        break;
    }
    return DBERR_NONE;
}

int TDSCursor::stepForward() {
    uint32_t row;
    bool found = false;
    int64_t from = -1; // the number moved from, when known
    if (FAt == At::Bof) {
        found = firstFrom(0, 0, row);
        from = 0;
    } else if (FAt == At::Row) {
        auto [pos, offset] = currentPos();
        found = firstFrom(pos, offset + 1, row);
        from = FSeq;
    }
    if (!found) {
        FAt = At::Eof;
        return DBERR_EOF;
    }
    moveTo(row, from < 0 ? -1 : from + 1);
    return DBERR_NONE;
}

int TDSCursor::stepBack() {
    uint32_t row;
    bool found = false;
    const TDSRowOrder& order = FTable->Order();
    int64_t from = -1; // the number moved from, when known
    if (FAt == At::Eof && order.BlockCount() > 0) {
        found = lastBefore(order.BlockCount() - 1, UINT32_MAX, row);
        from = int64_t{FTotal} + 1;
    } else if (FAt == At::Row) {
        auto [pos, offset] = currentPos();
        found = lastBefore(pos, offset, row);
        from = FSeq;
    }
    if (!found) {
        FAt = At::Bof;
        return DBERR_BOF;
    }
    moveTo(row, from < 0 ? -1 : from - 1);
    return DBERR_NONE;
}

int TDSCursor::MoveRelative(int n) {
    if (n == 0) return status();
    if (n == 1) return stepForward();
    if (n == -1) return stepBack();
    int64_t from = FAt == At::Bof ? 0 : FAt == At::Eof ? int64_t{FTotal} + 1 : rank();
    int64_t to = from + n;
    if (to < 1) {
        FAt = At::Bof;
        return DBERR_BOF;
    }
    if (to > FTotal) {
        FAt = At::Eof;
        return DBERR_EOF;
    }
    moveTo(select(to), to);
    return DBERR_NONE;
}

int TDSCursor::MoveToSequenceNumber(int seqNo) {
    if (seqNo < 1) {
        FAt = At::Bof;
        return DBERR_BOF;
    }
    if (static_cast<int64_t>(seqNo) > FTotal) {
        FAt = At::Eof;
        return DBERR_EOF;
    }
    moveTo(select(seqNo), seqNo);
    return DBERR_NONE;
}

int TDSCursor::MoveToBookmark(uint32_t bookmark) {
    if (bookmark == 0 || bookmark > FTable->Store().Count() || !isVisible(bookmark - 1))
        return DBERR_RECNOTFOUND;
    moveTo(bookmark - 1, -1);
    return DBERR_NONE;
}

int TDSCursor::MoveToBookmark(uint32_t bookmark, int seqNo) {
    int status = MoveToBookmark(bookmark);
    if (status == DBERR_NONE && seqNo > 0 && FGivenVersion == FViewVersion) {
        assert(countRank() == seqNo && "a number given in this view still holds");
        FSeq = seqNo;
    }
    return status;
}

// ---- the current row ----

int TDSCursor::GetCurrentRecord(uint8_t* record) const {
    if (FAt != At::Row) return status();
    FTable->Store().ToRecord(FTable->Store().Row(FRow), record);
    return DBERR_NONE;
}

DSRowStatus TDSCursor::GetRecordStatus() const {
    if (FAt != At::Row) return dsRecUnmodified;
    uint8_t flags = FTable->Store().Flags(FRow);
    if (flags & dsRecInserted) return dsRecInserted;
    if (flags & dsRecModified) return dsRecModified;
    return dsRecUnmodified;
}

void TDSCursor::InsertRecord(const uint8_t* record) {
    uint32_t before = 0;
    bool hasBefore = false;
    if (FAt == At::Row) {
        before = FRow;
        hasBefore = true;
    } else if (FAt == At::Bof) {
        hasBefore = firstFrom(0, 0, before);
    }
    uint32_t row = FTable->InsertRow(record, hasBefore ? &before : nullptr);
    if (isVisible(row)) {
        moveTo(row, -1);
    }
}

void TDSCursor::ModifyRecord(const uint8_t* record) {
    if (FAt != At::Row) DSRaise(DBERR_NOCURRREC);
    FTable->ModifyRow(FRow, record);
}

void TDSCursor::DeleteRecord() {
    if (FAt != At::Row) DSRaise(DBERR_NOCURRREC);
    FTable->DeleteRow(FRow);
}

// ---- filters and searching ----

int TDSCursor::AddFilter(DSExprPtr expression) {
    Filter f{FNextHandle++, nullptr};
    if (expression)
        f.Evaluator = std::make_unique<TDSExprEvaluator>(*expression, FTable->Layout(),
                                                         FTable->Store().Format());
    FFilters.push_back(std::move(f));
    rebuild();
    FAt = At::Bof;
    return FFilters.back().Handle;
}

void TDSCursor::DropFilter(int handle) {
    auto it = std::find_if(FFilters.begin(), FFilters.end(),
                           [handle](const Filter& f) { return f.Handle == handle; });
    if (it == FFilters.end()) DSRaise(DBERR_INVALIDPARAM, "Unknown filter handle");
    FFilters.erase(it);
    rebuild();
    FAt = At::Bof;
}

bool TDSCursor::Locate(const DSExpr& expression) {
    TDSExprEvaluator evaluator(expression, FTable->Layout(), FTable->Store().Format());
    const TDSRowOrder& order = FTable->Order();
    BlockScan scan;
    for (uint32_t pos = 0; pos < order.BlockCount(); ++pos) {
        uint32_t block = order.BlockAt(pos);
        if (FBlockCount[block] == 0) continue;
        // The view's rows have passed the filters already.
        uint32_t n = gatherRows(order.Rows(block), scan, true);
        if (n == 0) continue;
        evaluator.MatchRows(scan.Rows.data(), n, scan.Match.data());
        const uint8_t* match = scan.Match.data();
        for (uint32_t i = 0; i < n; ++i)
            if (match[i] == 1) {
                moveTo(scan.Ids[i], -1);
                return true;
            }
    }
    return false;
}
