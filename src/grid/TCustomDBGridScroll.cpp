// TCustomDBGrid: the vertical scroll bar, which the grid keeps from the
// dataset's record numbers: the dataset is sequenced, so the bar is
// proportional.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "grid/TGridDataLink.h"

#include <algorithm>

bool TCustomDBGrid::VertScrollWanted() const {
    if (!FDataLink->Active()) return false;
    // The page covers the whole range while the dataset holds one record or
    // none.
    return FDataLink->DataSet()->RecordCount() > 1;
}

// Range 1 to the record count plus the visible rows less one, a page of the
// visible rows, the current record's number as the position. Qt counts the
// page out of the range: its maximum is the last position the thumb takes,
// the record count.
void TCustomDBGrid::UpdateVertScrollBar() {
    TDBGridScrollBar* bar = VertScrollBar();
    if (bar->isHidden() || !FDataLink->Active()) return;
    const TDataSet* dataSet = FDataLink->DataSet();
    const QSignalBlocker block(bar);
    bar->setRange(1, std::max(1, dataSet->RecordCount()));
    bar->setPageStep(VisibleRowCount());
    bar->setSingleStep(1);
    // While inserting, the new record has no number: the bar stays.
    if (dataSet->State() != dsInsert) bar->setValue(std::max(1, dataSet->RecNo()));
}

void TCustomDBGrid::VertScrollMessage(unsigned code, int pos) {
    if (!FDataLink->Active()) return;
    TDataSet* dataSet = FDataLink->DataSet();
    switch (code) {
    case SB_LINEUP:
        // The record above the first visible row becomes current.
        FDataLink->MoveBy(-(FDataLink->ActiveRecord() + 1));
        break;
    case SB_LINEDOWN:
        // The record below the last visible row becomes current.
        FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
        break;
    case SB_PAGEUP:
        FDataLink->MoveBy(-VisibleRowCount());
        break;
    case SB_PAGEDOWN:
        FDataLink->MoveBy(VisibleRowCount());
        break;
    case SB_TOP:
        dataSet->First();
        break;
    case SB_BOTTOM:
        dataSet->Last();
        break;
    case SB_THUMBTRACK:
        if (!VertScrollBar()->Tracking()) break;
        FDataLink->MoveBy(pos - dataSet->RecNo());
        // The record followed the thumb; where it is let go is no news.
        FIgnoreThumbPosition = true;
        break;
    case SB_THUMBPOSITION:
        if (FIgnoreThumbPosition) {
            FIgnoreThumbPosition = false;
            break;
        }
        if (pos > 1 && pos < dataSet->RecordCount())
            dataSet->SetRecNo(pos);
        else if (pos >= dataSet->RecordCount())
            dataSet->Last();
        else
            dataSet->First();
        break;
    default:
        break;
    }
    UpdateVertScrollBar();
}
