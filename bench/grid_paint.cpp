// bench-libs: grid
// Painting the data grid must cost the same whatever the number of rows its
// client dataset holds: the grid paints only the rows that fit, and a scroll
// by one record moves the painted rows and paints two. A grid of the
// window's size (303 x 131, configured as DBGrid2) shows a client dataset of
// 10 rows and one of 1,000,000 rows, side by side in one run on Qt's
// offscreen platform:
//  - a full paint: the whole grid repainted at once (QWidget::repaint);
//  - a scroll by one: Next on the bottom row or Prior on the top row, each
//    moving the dataset's window by one record, the grid scrolling its rows
//    and painting the uncovered and the current rows before returning.
// Rounds alternate the two sizes; the medians are compared.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "data/engine/DSIntf.h"
#include "grid/TDBGrid.h"
#include "grid/TGridDataLink.h"
#include "platform/DateUtils.h"
#include "platform/widgets/TForm.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The closing-adjustment table's shape.
std::vector<uint8_t> makePacket(int rows) {
    auto writer = CreateDSWriter();
    writer->Init({DSFieldDesc{"AJCI_ID", DSType::Int32}, DSFieldDesc{"AJCI_FECINI", DSType::Date},
                  DSFieldDesc{"AJCI_FECFIN", DSType::Date},
                  DSFieldDesc{"AJCI_PORC", DSType::Bcd, 15, 4},
                  DSFieldDesc{"AJCI_FACTOR", DSType::Bcd, 15, 4}},
                 {});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    const TDateTime start = EncodeDate(2024, 1, 1);
    for (int i = 1; i <= rows; ++i) {
        layout.InitRecord(record.data());
        layout.PutField(record.data(), 0, Variant(int32_t(i)));
        layout.PutField(record.data(), 1, Variant(TDateTime(start.Val() + i % 3650)));
        layout.PutField(record.data(), 2, Variant(TDateTime(start.Val() + i % 3650 + 30)));
        layout.PutField(record.data(), 3, Variant(TBcd{int64_t(i % 25) * 10000, 4}));
        layout.PutField(record.data(), 4, Variant(TBcd{8000, 4}));
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

struct GridWindow {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TClientDataSet* data = new TClientDataSet(form.get());
    TDataSource* source = new TDataSource(form.get());
    TDBGrid* grid = new TDBGrid(form.get(), form.get());
    int rows;

    explicit GridWindow(int rowCount) : rows(rowCount) {
        form->SetClientWidth(320);
        form->SetClientHeight(150);
        grid->SetBounds(8, 8, 303, 131);
        grid->SetOptionsEx({dghFixed3D, dghHighlightFocus, dghClearSelection, dghEnterAsTab,
                            dghIncSearch, dghDialogFind, dghColumnResize, dghColumnMove,
                            dghExtendVertLines});
        grid->SetIndicatorOptions({gioShowRowIndicator});
        grid->SetTitleFont(TFont("MS Sans Serif", -11, clWindowText));
        const char* const columns[][2] = {{"AJCI_FECINI", "F.Desde"},
                                          {"AJCI_FECFIN", "F.Hasta"},
                                          {"AJCI_PORC", "Porc"},
                                          {"AJCI_FACTOR", "Factor"}};
        for (const auto& c : columns) {
            TDBGridColumn* column = grid->Columns().Add();
            column->SetFieldName(c[0]);
            column->Title().SetCaption(c[1]);
        }
        data->SetData(makePacket(rows));
        source->SetDataSet(data);
        grid->SetDataSource(source);
        form->Show();
        grid->SetFocus();
        // Stand in the middle of the data, on the bottom row, with a record
        // above the window and one below it.
        const int visible = grid->VisibleRowCount();
        data->First();
        data->MoveBy(std::max(0, rows / 2 - visible));
        data->MoveBy(visible - 1 - grid->DataLink().ActiveRecord());
        QApplication::processEvents();
    }
};

// Microseconds per full paint.
double fullPaintUs(GridWindow& w, int paints) {
    QWidget* widget = w.grid->Widget();
    const auto t0 = Clock::now();
    for (int i = 0; i < paints; ++i)
        widget->repaint();
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / paints;
}

// Microseconds per scroll by one row: Next on the bottom row, Prior on the
// top row; the moves inside the window between them are not timed.
double scrollUs(GridWindow& w, int scrolls) {
    TGridDataLink& link = w.grid->DataLink();
    const int visible = w.grid->VisibleRowCount();
    std::chrono::duration<double, std::micro> timed{};
    int done = 0;
    while (done < scrolls) {
        if (link.ActiveRecord() != visible - 1) w.data->MoveBy(visible - 1 - link.ActiveRecord());
        auto t0 = Clock::now();
        w.data->Next();
        timed += Clock::now() - t0;
        w.data->MoveBy(-(visible - 1));
        t0 = Clock::now();
        w.data->Prior();
        timed += Clock::now() - t0;
        done += 2;
    }
    QApplication::processEvents();
    return timed.count() / done;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    GridWindow small(10);
    GridWindow large(1'000'000);
    if (small.grid->VisibleRowCount() != large.grid->VisibleRowCount() ||
        small.grid->VisibleRowCount() >= 10) {
        std::fprintf(stderr, "the two grids must show the same rows, fewer than 10\n");
        return 1;
    }

    constexpr int rounds = 9, paints = 400, scrolls = 400;
    std::vector<double> paintSmall, paintLarge, scrollSmall, scrollLarge;
    fullPaintUs(small, 50);
    fullPaintUs(large, 50);
    for (int r = 0; r < rounds; ++r) {
        // Alternate which size goes first.
        GridWindow& first = r % 2 ? large : small;
        GridWindow& second = r % 2 ? small : large;
        const double a = fullPaintUs(first, paints), b = fullPaintUs(second, paints);
        (r % 2 ? paintLarge : paintSmall).push_back(a);
        (r % 2 ? paintSmall : paintLarge).push_back(b);
        const double c = scrollUs(first, scrolls), d = scrollUs(second, scrolls);
        (r % 2 ? scrollLarge : scrollSmall).push_back(c);
        (r % 2 ? scrollSmall : scrollLarge).push_back(d);
    }
    const double ps = median(paintSmall), pl = median(paintLarge);
    const double ss = median(scrollSmall), sl = median(scrollLarge);
    std::printf("grid %d visible rows: full paint %.1f us (10 rows) %.1f us (1M rows); "
                "scroll by one %.1f us (10 rows) %.1f us (1M rows)\n",
                small.grid->VisibleRowCount(), ps, pl, ss, sl);
    benchsupport::PrintRatio("grid_paint_1M_vs_10", pl / ps, "at_most", 1.5);
    benchsupport::PrintRatio("grid_scroll_1M_vs_10", sl / ss, "at_most", 1.5);
    return 0;
}
