// bench-libs: grid
// The grid's incremental search, per keystroke, against the dataset's own
// Locate. A grid configured as DBGrid2 shows a client dataset of the
// closing-adjustment table's shape; the search runs in its first column,
// the start date, on Qt's offscreen platform, keys sent as a keyboard sends
// them (through the form's key handling):
//  - typing: Ctrl+F, "2" (found on the first record, 21/01/2024), then the
//    timed "0": "20" is the start of the last record's date only, so the
//    search reads every record's date as the grid shows it;
//  - Ctrl+Enter: Ctrl+F, "2" (the first record), then the timed Ctrl+Enter,
//    the next record whose date begins with "2": the last one again;
//  - the peer: Locate on the same field for the last record's date, from
//    the first record, which the engine answers from its stored rows.
// Every other record starts between the 1st and the 19th. 100,000 records
// and 1,000 records, side by side in one run: the search's cost per record
// examined must not grow with the size. Medians of rounds that alternate
// the three.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "data/engine/DSIntf.h"
#include "grid/TDBGrid.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"
#include "platform/widgets/TForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> makePacket(int rows) {
    auto writer = CreateDSWriter();
    writer->Init({DSFieldDesc{"AJCI_ID", DSType::Int32}, DSFieldDesc{"AJCI_FECINI", DSType::Date},
                  DSFieldDesc{"AJCI_FECFIN", DSType::Date},
                  DSFieldDesc{"AJCI_PORC", DSType::Bcd, 15, 4},
                  DSFieldDesc{"AJCI_FACTOR", DSType::Bcd, 15, 4}},
                 {});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (int i = 1; i <= rows; ++i) {
        // The 21st for the first record, the 20th for the last, days 1 to 19
        // of the months of ten years for the others.
        TDateTime day;
        if (i == 1)
            day = EncodeDate(2024, 1, 21);
        else if (i == rows)
            day = EncodeDate(2024, 1, 20);
        else
            day = EncodeDate(2000 + i % 10, 1 + i % 12, 1 + i % 19);
        layout.InitRecord(record.data());
        layout.PutField(record.data(), 0, Variant(int32_t(i)));
        layout.PutField(record.data(), 1, Variant(day));
        layout.PutField(record.data(), 2, Variant(TDateTime(day.Val() + 30)));
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
        for (const char* name : {"AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR"})
            grid->Columns().Add()->SetFieldName(name);
        data->SetData(makePacket(rows));
        source->SetDataSet(data);
        grid->SetDataSource(source);
        form->Show();
        form->Widget()->activateWindow();
        grid->SetFocus();
        QApplication::processEvents();
    }

    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QString text = {}) {
        QWidget* target = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
        QApplication::sendEvent(target, &release);
    }

    // Ctrl+F and "2" from the first record: the search stands on it.
    void startSearch() {
        key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
        data->First();
        key(Qt::Key_F, Qt::ControlModifier, "\x06");
        key(Qt::Key_2, Qt::NoModifier, "2");
        if (!grid->IncSearchRunning() || data->RecNo() != 1) {
            std::fprintf(stderr, "grid_search: the search did not start on the first record\n");
            std::exit(1);
        }
    }

    void checkOnLast(const char* what) {
        if (data->RecNo() != rows) {
            std::fprintf(stderr, "grid_search: %s stopped at record %d of %d\n", what,
                         data->RecNo(), rows);
            std::exit(1);
        }
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Times {
    double Typing, Next, Locate; // microseconds
};

Times measure(GridWindow& w, int rounds) {
    std::vector<double> typing, next, locate;
    const Variant lastDay(TDateTime(EncodeDate(2024, 1, 20)));
    for (int r = 0; r < rounds; ++r) {
        w.startSearch();
        auto t0 = Clock::now();
        w.key(Qt::Key_0, Qt::NoModifier, "0");
        typing.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        w.checkOnLast("typing");

        w.startSearch();
        t0 = Clock::now();
        w.key(Qt::Key_Return, Qt::ControlModifier, "\r");
        next.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        w.checkOnLast("Ctrl+Enter");

        w.key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
        w.data->First();
        t0 = Clock::now();
        const bool found = w.data->Locate("AJCI_FECINI", lastDay);
        locate.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        if (!found) std::exit(1);
        w.checkOnLast("Locate");
        QApplication::processEvents();
    }
    return {median(typing), median(next), median(locate)};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FormatSettings = DefaultFormatSettings();
    constexpr int kLarge = 100000;
    constexpr int kSmall = 1000;
    GridWindow large(kLarge);
    GridWindow small(kSmall);
    large.form->Hide();

    // Alternating sizes, each shown and active while it is measured.
    std::vector<Times> bigRuns, smallRuns;
    for (int round = 0; round < 5; ++round) {
        small.form->Hide();
        large.form->Show();
        large.form->Widget()->activateWindow();
        large.grid->SetFocus();
        QApplication::processEvents();
        bigRuns.push_back(measure(large, 3));
        large.form->Hide();
        small.form->Show();
        small.form->Widget()->activateWindow();
        small.grid->SetFocus();
        QApplication::processEvents();
        smallRuns.push_back(measure(small, 21));
    }
    auto med = [](const std::vector<Times>& runs, double Times::*member) {
        std::vector<double> v;
        for (const Times& t : runs)
            v.push_back(t.*member);
        return median(v);
    };
    const Times big{med(bigRuns, &Times::Typing), med(bigRuns, &Times::Next),
                    med(bigRuns, &Times::Locate)};
    const Times little{med(smallRuns, &Times::Typing), med(smallRuns, &Times::Next),
                       med(smallRuns, &Times::Locate)};

    std::printf("%d records: typing %.0f us (%.1f ns/record), Ctrl+Enter %.0f us (%.1f ns/record), "
                "Locate %.0f us (%.1f ns/record)\n",
                kLarge, big.Typing, big.Typing * 1000 / kLarge, big.Next, big.Next * 1000 / kLarge,
                big.Locate, big.Locate * 1000 / kLarge);
    std::printf("%d records: typing %.0f us (%.1f ns/record), Ctrl+Enter %.0f us (%.1f ns/record), "
                "Locate %.0f us (%.1f ns/record)\n",
                kSmall, little.Typing, little.Typing * 1000 / kSmall, little.Next,
                little.Next * 1000 / kSmall, little.Locate, little.Locate * 1000 / kSmall);
    benchsupport::PrintRatio("grid_incsearch_typing_vs_locate_100k", big.Typing / big.Locate,
                             "at most", 1.5);
    benchsupport::PrintRatio("grid_incsearch_next_vs_locate_100k", big.Next / big.Locate, "at most",
                             1.5);
    benchsupport::PrintRatio("grid_incsearch_per_record_100k_vs_1k",
                             (big.Typing / kLarge) / (little.Typing / kSmall), "at most", 1.5);
    return 0;
}
