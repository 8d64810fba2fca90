// Cursor moves, cracks, sequence numbers and bookmarks, and how inserts and
// deletes move them.

#include "EngineTestSupport.h"

#include "data/engine/TDSCursor.h"

#include <algorithm>
#include <cstring>
#include <random>

using namespace enginetest;

namespace {

std::vector<std::vector<Variant>> idRows(int first, int count) {
    std::vector<std::vector<Variant>> rows;
    for (int i = first; i < first + count; ++i)
        rows.push_back({Variant(int32_t(i))});
    return rows;
}

std::vector<uint8_t> idPacket(int first, int count) {
    return MakePacket({Field("ID", DSType::Int32)}, idRows(first, count));
}

std::vector<uint8_t> idRecord(const IDSCursor& c, int id) {
    return MakeRecord(c.Layout(), {Variant(int32_t(id))});
}

int currentId(const IDSCursor& c) {
    Variant v = Current(c, 0);
    return v.GetIf<int32_t>() ? v.Get<int32_t>() : -1;
}

bool consistent(IDSCursor& c) {
    return dynamic_cast<TDSCursor&>(c).CheckConsistency();
}

TEST(CursorTest, AnEmptyViewIsAllCracks) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 0), true);
    auto c = base->CreateCursor();
    std::vector<uint8_t> record(c->Layout().RecordSize());
    EXPECT_EQ(c->GetCurrentRecord(record.data()), DBERR_BOF);
    EXPECT_EQ(c->MoveRelative(1), DBERR_EOF);
    EXPECT_EQ(c->GetCurrentRecord(record.data()), DBERR_EOF);
    EXPECT_EQ(c->MoveRelative(-1), DBERR_BOF);
    EXPECT_EQ(c->MoveRelative(0), DBERR_BOF);
    EXPECT_EQ(c->GetRecordCount(), 0);
    EXPECT_EQ(c->GetSequenceNumber(), 0);
    EXPECT_EQ(c->GetBookmark(), 0u);
    EXPECT_EQ(c->MoveToSequenceNumber(1), DBERR_EOF);
    EXPECT_EQ(EngineErrorOf([&] { c->DeleteRecord(); }), DBERR_NOCURRREC);
    EXPECT_EQ(EngineErrorOf([&] { c->ModifyRecord(record.data()); }), DBERR_NOCURRREC);
}

TEST(CursorTest, MovesStopOnTheCracks) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 5), true);
    auto c = base->CreateCursor();
    struct Step {
        int N;
        int Status;
        int Id; // -1 on a crack
    };
    const Step steps[] = {
        {1, DBERR_NONE, 1}, {1, DBERR_NONE, 2},  {2, DBERR_NONE, 4},  {1, DBERR_NONE, 5},
        {1, DBERR_EOF, -1}, {1, DBERR_EOF, -1},  {-1, DBERR_NONE, 5}, {-3, DBERR_NONE, 2},
        {0, DBERR_NONE, 2}, {-1, DBERR_NONE, 1}, {-1, DBERR_BOF, -1}, {-1, DBERR_BOF, -1},
        {3, DBERR_NONE, 3}, {10, DBERR_EOF, -1}, {-2, DBERR_NONE, 4}, {-10, DBERR_BOF, -1},
        {5, DBERR_NONE, 5}, {-5, DBERR_BOF, -1}, {6, DBERR_EOF, -1},  {-5, DBERR_NONE, 1},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c->MoveRelative(steps[i].N), steps[i].Status);
        EXPECT_EQ(currentId(*c), steps[i].Id);
        EXPECT_EQ(c->GetSequenceNumber(), steps[i].Id == -1 ? 0 : steps[i].Id);
    }
    c->MoveToEOF();
    EXPECT_EQ(c->MoveRelative(-1), DBERR_NONE);
    EXPECT_EQ(currentId(*c), 5);
    c->MoveToBOF();
    EXPECT_EQ(c->MoveRelative(1), DBERR_NONE);
    EXPECT_EQ(currentId(*c), 1);
}

TEST(CursorTest, SequenceNumbersAndBookmarks) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 5), true);
    auto c = base->CreateCursor();
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(c->MoveToSequenceNumber(k), DBERR_NONE);
        EXPECT_EQ(currentId(*c), k);
        EXPECT_EQ(c->GetSequenceNumber(), k);
    }
    EXPECT_EQ(c->MoveToSequenceNumber(0), DBERR_BOF);
    EXPECT_EQ(c->MoveToSequenceNumber(6), DBERR_EOF);

    c->MoveToSequenceNumber(4);
    uint32_t four = c->GetBookmark();
    EXPECT_NE(four, 0u);
    c->MoveToSequenceNumber(2);
    uint32_t two = c->GetBookmark();
    c->DeleteRecord(); // the second row; the cursor goes on to the third
    EXPECT_EQ(currentId(*c), 3);
    EXPECT_EQ(c->GetSequenceNumber(), 2);
    EXPECT_EQ(c->MoveToBookmark(four), DBERR_NONE);
    EXPECT_EQ(currentId(*c), 4);
    EXPECT_EQ(c->GetSequenceNumber(), 3);
    // A deleted row's bookmark finds nothing and leaves the cursor alone.
    EXPECT_EQ(c->MoveToBookmark(two), DBERR_RECNOTFOUND);
    EXPECT_EQ(currentId(*c), 4);
    EXPECT_EQ(c->MoveToBookmark(0), DBERR_RECNOTFOUND);
    EXPECT_EQ(c->MoveToBookmark(12345), DBERR_RECNOTFOUND);
    EXPECT_EQ(c->GetRecordCount(), 4);
}

// A cursor keeps its row's number while it steps, and takes back a number it
// gave, until the view changes under it.
TEST(CursorTest, KeptNumbersFollowEveryChangeOfTheView) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 2000), false);
    auto a = base->CreateCursor();
    auto b = base->CreateCursor();
    for (int k = 1; k <= 10; ++k) {
        ASSERT_EQ(a->MoveRelative(1), DBERR_NONE);
        ASSERT_EQ(a->GetSequenceNumber(), k);
    }
    uint32_t ten = a->GetBookmark();
    a->MoveToSequenceNumber(1500);
    EXPECT_EQ(a->MoveRelative(-1), DBERR_NONE);
    EXPECT_EQ(a->GetSequenceNumber(), 1499);
    EXPECT_EQ(a->MoveToBookmark(ten, 10), DBERR_NONE);
    EXPECT_EQ(a->MoveRelative(1), DBERR_NONE);
    EXPECT_EQ(currentId(*a), 11);
    EXPECT_EQ(a->GetSequenceNumber(), 11);

    // Rows appended come after every row and renumber none.
    base->AppendData(idPacket(2001, 1000), true);
    EXPECT_EQ(a->MoveToBookmark(ten, 10), DBERR_NONE);
    EXPECT_EQ(a->GetSequenceNumber(), 10);
    EXPECT_TRUE(consistent(*a));

    // A row deleted through another cursor renumbers the rows after it: the
    // number given before is not taken.
    b->MoveToSequenceNumber(3);
    b->DeleteRecord();
    EXPECT_EQ(a->MoveToBookmark(ten, 10), DBERR_NONE);
    EXPECT_EQ(currentId(*a), 10);
    EXPECT_EQ(a->GetSequenceNumber(), 9);
    EXPECT_EQ(a->MoveRelative(-1), DBERR_NONE);
    EXPECT_EQ(currentId(*a), 9);
    EXPECT_EQ(a->GetSequenceNumber(), 8);
    EXPECT_TRUE(consistent(*a));

    // The same for a row inserted before the current one while it steps.
    b->MoveToBOF();
    b->InsertRecord(idRecord(*b, 9000).data());
    EXPECT_EQ(a->MoveRelative(1), DBERR_NONE);
    EXPECT_EQ(currentId(*a), 10);
    EXPECT_EQ(a->GetSequenceNumber(), 10);

    a->MoveToEOF();
    EXPECT_EQ(a->MoveRelative(-1), DBERR_NONE);
    EXPECT_EQ(currentId(*a), 3000);
    EXPECT_EQ(a->GetSequenceNumber(), 3000);
    EXPECT_TRUE(consistent(*a));
    EXPECT_TRUE(consistent(*b));
}

TEST(CursorTest, InsertPutsTheRowBeforeTheCurrentOneAndMakesItCurrent) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 3), true);
    auto c = base->CreateCursor();
    c->MoveToSequenceNumber(2);
    uint32_t two = c->GetBookmark();
    c->InsertRecord(idRecord(*c, 10).data());
    EXPECT_EQ(currentId(*c), 10);
    EXPECT_EQ(c->GetSequenceNumber(), 2);
    EXPECT_EQ(c->GetRecordStatus(), dsRecInserted);
    c->MoveToBOF();
    c->InsertRecord(idRecord(*c, 20).data());
    EXPECT_EQ(c->GetSequenceNumber(), 1);
    c->MoveToEOF();
    c->InsertRecord(idRecord(*c, 30).data());
    EXPECT_EQ(c->GetSequenceNumber(), 6);
    EXPECT_EQ(Ids(*c), (std::vector<int32_t>{20, 1, 10, 2, 3, 30}));
    EXPECT_EQ(c->MoveToBookmark(two), DBERR_NONE);
    EXPECT_EQ(c->GetSequenceNumber(), 4);
    EXPECT_EQ(c->GetRecordStatus(), dsRecUnmodified);
    EXPECT_TRUE(consistent(*c));
}

TEST(CursorTest, InsertIntoAnEmptyViewAndDeleteEveryRow) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 0), true);
    auto c = base->CreateCursor();
    c->InsertRecord(idRecord(*c, 1).data());
    EXPECT_EQ(c->GetRecordCount(), 1);
    EXPECT_EQ(currentId(*c), 1);
    c->MoveToEOF();
    c->InsertRecord(idRecord(*c, 2).data());
    c->MoveToBOF();
    c->MoveRelative(1);
    c->DeleteRecord();
    EXPECT_EQ(currentId(*c), 2);
    c->DeleteRecord();
    std::vector<uint8_t> record(c->Layout().RecordSize());
    EXPECT_EQ(c->GetCurrentRecord(record.data()), DBERR_EOF);
    EXPECT_EQ(c->GetRecordCount(), 0);
    EXPECT_EQ(c->MoveRelative(-1), DBERR_BOF);
}

TEST(CursorTest, ModifyKeepsTheRowInPlace) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 3), true);
    auto c = base->CreateCursor();
    c->MoveToSequenceNumber(2);
    c->ModifyRecord(idRecord(*c, 22).data());
    EXPECT_EQ(currentId(*c), 22);
    EXPECT_EQ(c->GetSequenceNumber(), 2);
    EXPECT_EQ(c->GetRecordStatus(), dsRecModified);
    EXPECT_EQ(Ids(*c), (std::vector<int32_t>{1, 22, 3}));
}

TEST(CursorTest, RecordsThatTheLayoutCannotHoldAreRefused) {
    auto base = CreateDSBase();
    base->AppendData(MakePacket({Field("S", DSType::String, 2)}, {{std::string("ab")}}), true);
    auto c = base->CreateCursor();
    c->MoveRelative(1);
    std::vector<uint8_t> record(c->Layout().RecordSize());
    c->GetCurrentRecord(record.data());
    uint16_t tooLong = 3;
    std::memcpy(record.data() + c->Layout().FieldOffset(0), &tooLong, 2);
    EXPECT_EQ(EngineErrorOf([&] { c->ModifyRecord(record.data()); }), DBERR_INVALIDPARAM);
    EXPECT_EQ(EngineErrorOf([&] { c->InsertRecord(record.data()); }), DBERR_INVALIDPARAM);
    EXPECT_EQ(c->GetRecordCount(), 1);
    EXPECT_EQ(base->GetChangeCount(), 0);
    EXPECT_EQ(Current(*c, 0).Get<std::string>(), "ab");
}

TEST(CursorTest, AnotherCursorSeesChangesAndMovesOffADeletedRow) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 4), true);
    auto a = base->CreateCursor();
    auto b = base->CreateCursor();
    b->MoveToSequenceNumber(2);
    a->MoveToSequenceNumber(2);
    a->DeleteRecord();
    EXPECT_EQ(currentId(*b), 3);
    EXPECT_EQ(b->GetRecordCount(), 3);
    a->MoveToBOF();
    a->InsertRecord(idRecord(*a, 9).data());
    EXPECT_EQ(b->GetSequenceNumber(), 3);
    EXPECT_EQ(Ids(*b), (std::vector<int32_t>{9, 1, 3, 4}));
    EXPECT_TRUE(consistent(*a));
    EXPECT_TRUE(consistent(*b));
}

TEST(CursorTest, ACursorOutlivesItsBase) {
    auto base = CreateDSBase();
    base->AppendData(idPacket(1, 2), true);
    auto c = base->CreateCursor();
    base.reset();
    EXPECT_EQ(Ids(*c), (std::vector<int32_t>{1, 2}));
}

// Many inserts at random places (splitting blocks), deletes and moves,
// checked after each step against a plain list of the visible ids.
TEST(CursorTest, MatchesAPlainListThroughManyInsertsAndDeletes) {
    auto base = CreateDSBase();
    const int loaded = 5000;
    for (int p = 0; p < 5; ++p)
        base->AppendData(idPacket(1 + p * 1000, 1000), p == 4);
    auto c = base->CreateCursor();
    std::vector<int> model;
    for (int i = 1; i <= loaded; ++i)
        model.push_back(i);
    std::mt19937 random(42);
    int nextId = 100000;
    for (int step = 0; step < 4000; ++step) {
        int n = static_cast<int>(model.size());
        int action = static_cast<int>(random() % 10);
        if (n == 0 || action < 6) {
            int at = n == 0 ? 0 : static_cast<int>(random() % (n + 1)); // n: at the end
            if (at == n)
                c->MoveToEOF();
            else
                c->MoveToSequenceNumber(at + 1);
            c->InsertRecord(idRecord(*c, nextId).data());
            model.insert(model.begin() + at, nextId++);
            ASSERT_EQ(c->GetSequenceNumber(), at + 1);
        } else if (action < 9) {
            int at = static_cast<int>(random() % n);
            c->MoveToSequenceNumber(at + 1);
            ASSERT_EQ(currentId(*c), model[at]);
            c->DeleteRecord();
            model.erase(model.begin() + at);
            if (at < static_cast<int>(model.size()))
                ASSERT_EQ(currentId(*c), model[at]);
            else
                ASSERT_EQ(c->GetBookmark(), 0u);
        } else {
            int at = static_cast<int>(random() % n);
            int by = static_cast<int>(random() % 41) - 20;
            c->MoveToSequenceNumber(at + 1);
            int status = c->MoveRelative(by);
            int to = at + by;
            if (to < 0)
                ASSERT_EQ(status, DBERR_BOF);
            else if (to >= n)
                ASSERT_EQ(status, DBERR_EOF);
            else {
                ASSERT_EQ(status, DBERR_NONE);
                ASSERT_EQ(currentId(*c), model[to]);
                ASSERT_EQ(c->GetSequenceNumber(), to + 1);
            }
        }
        ASSERT_EQ(c->GetRecordCount(), static_cast<int>(model.size()));
        if (step % 500 == 0) {
            ASSERT_TRUE(consistent(*c));
            ASSERT_EQ(Ids(*c), std::vector<int32_t>(model.begin(), model.end()));
        }
    }
    ASSERT_TRUE(consistent(*c));
    ASSERT_EQ(Ids(*c), std::vector<int32_t>(model.begin(), model.end()));
    // Walking back from EOF gives the same rows in reverse.
    std::vector<int32_t> back;
    c->MoveToEOF();
    while (c->MoveRelative(-1) == DBERR_NONE)
        back.push_back(currentId(*c));
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, std::vector<int32_t>(model.begin(), model.end()));
}

} // namespace
