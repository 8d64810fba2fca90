#pragma once
// A view on a table: the rows that are not deleted and pass every filter, in
// the table's order. The view is one bit per row plus a count per block of
// the order, summed in a TDSCountTree, so that the count of rows, a row's
// sequence number and the row with a given number take O(log n) plus one
// block's scan. The current row's number, once known, is kept while the
// cursor steps and until the view changes, so that reading rows in turn
// counts nothing.
//
// The cursor is always on a visible row or on a crack (BOF, EOF). The table
// tells it of every change of rows; a current row that leaves the view moves
// the cursor to the next visible row or to EOF.

#include "data/engine/DSIntf.h"
#include "data/engine/TDSCountTree.h"
#include "data/engine/TDSExprEvaluator.h"

#include <memory>
#include <utility>
#include <vector>

class TDSTable;

class TDSCursor : public IDSCursor {
public:
    explicit TDSCursor(std::shared_ptr<TDSTable> table);
    ~TDSCursor() override;

    const TDSRecordLayout& Layout() const override;
    void MoveToBOF() override { FAt = At::Bof; }
    void MoveToEOF() override { FAt = At::Eof; }
    int MoveRelative(int n) override;
    int GetCurrentRecord(uint8_t* record) const override;
    DSRowStatus GetRecordStatus() const override;
    int GetRecordCount() const override { return static_cast<int>(FTotal); }
    int GetSequenceNumber() const override {
        if (FAt != At::Row) return 0;
        FGivenVersion = FViewVersion;
        return static_cast<int>(rank());
    }
    int MoveToSequenceNumber(int seqNo) override;
    uint32_t GetBookmark() const override { return FAt == At::Row ? FRow + 1 : 0; }
    int MoveToBookmark(uint32_t bookmark) override;
    int MoveToBookmark(uint32_t bookmark, int seqNo) override;

    void InsertRecord(const uint8_t* record) override;
    void ModifyRecord(const uint8_t* record) override;
    void DeleteRecord() override;

    int AddFilter(DSExprPtr expression) override;
    void DropFilter(int handle) override;
    bool Locate(const DSExpr& expression) override;

    // From the table.
    void OnRowsAppended(uint32_t first, uint32_t end);
    void OnBlockSplit(uint32_t block, uint32_t newBlock);
    void OnRowInserted(uint32_t row);
    void OnRowChanged(uint32_t row);

    // Recounts the view from scratch and compares with what is kept; for tests.
    bool CheckConsistency() const;

private:
    enum class At { Bof, Row, Eof };
    struct Filter {
        int Handle;
        std::unique_ptr<TDSExprEvaluator> Evaluator; // null: every row
    };

    // Scratch room for testing the rows of one block at a time.
    struct BlockScan {
        std::vector<const uint8_t*> Rows;
        std::vector<uint32_t> Ids;
        std::vector<uint8_t> Match;
    };

    bool passes(uint32_t row) const;
    // Puts into scan the rows of a block that are in the view (visibleOnly)
    // or not deleted, in the block's order; returns their count.
    uint32_t gatherRows(const std::vector<uint32_t>& rows, BlockScan& scan, bool visibleOnly) const;
    // Keeps, in order, those of scan's first n rows that evaluator matches;
    // returns their count.
    static uint32_t keepMatches(const TDSExprEvaluator& evaluator, BlockScan& scan, uint32_t n);
    bool isVisible(uint32_t row) const { return (FBits[row >> 6] >> (row & 63)) & 1; }
    void setVisible(uint32_t row, bool visible);
    void rebuild();
    void growTo(uint32_t rows, uint32_t blocks);
    void ensureTree() const;
    std::pair<uint32_t, uint32_t> currentPos() const;
    // The first visible row at or after (pos, offset), or the last before it.
    bool firstFrom(uint32_t pos, uint32_t offset, uint32_t& row) const;
    bool lastBefore(uint32_t pos, uint32_t offset, uint32_t& row) const;
    // The current row's sequence number: rank() keeps what it counts,
    // countRank() counts afresh.
    int64_t rank() const {
        if (FSeq < 0) FSeq = countRank();
        return FSeq;
    }
    int64_t countRank() const;
    // Every move onto a row passes here, with the row's number when the move
    // knows it (else -1), so that no move can leave a stale number behind.
    void moveTo(uint32_t row, int64_t seq) {
        FAt = At::Row;
        FRow = row;
        FSeq = seq;
    }
    // Every change of which rows are visible may renumber them.
    void renumbered() {
        ++FViewVersion;
        FSeq = -1;
    }
    uint32_t select(int64_t k) const;
    int stepForward();
    int stepBack();
    int status() const;

    std::shared_ptr<TDSTable> FTable;
    std::vector<uint64_t> FBits;       // by row id
    std::vector<uint32_t> FBlockCount; // by block id
    uint32_t FTotal = 0;
    mutable TDSCountTree FTree; // by block position
    mutable bool FTreeValid = false;
    mutable uint64_t FTreeShape = 0;
    std::vector<Filter> FFilters;
    int FNextHandle = 1;
    At FAt = At::Bof;
    uint32_t FRow = 0;
    mutable uint64_t FPosVersion = UINT64_MAX;
    mutable uint32_t FPosRow = UINT32_MAX;
    mutable std::pair<uint32_t, uint32_t> FPos;
    // The current row's sequence number, -1 until counted: moving row by row
    // or back to a row read before then counts nothing. FViewVersion changes
    // with every renumbering; FGivenVersion is what it was when
    // GetSequenceNumber last gave a row's number.
    mutable int64_t FSeq = -1;
    uint64_t FViewVersion = 0;
    mutable uint64_t FGivenVersion = UINT64_MAX;
};
