// TCustomDBGrid: the incremental search and the text-locate operation as the
// grid calls it.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "data/TNumericFields.h"
#include "grid/GridSettings.h"
#include "grid/TDBGridCenter.h"
#include "grid/TGridDataLink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QWidget>

bool TCustomDBGrid::LocateText(const TLocateTextRequest& request) {
    ++FLocating;
    struct Done {
        int& locating;
        ~Done() { --locating; }
    } done{FLocating};
    return DBGridCenter().LocateText(*this, request);
}

void TCustomDBGrid::ExecuteFindDialog(const std::string& text) {
    TDBGridCenter& center = DBGridCenter();
    center.ExecuteFindDialog(*this, text, {}, center.FindDialogModal(*this));
}

void TCustomDBGrid::StartIncSearch(int timeOut) {
    HideEditor();
    FSearching = true;
    FSearchText.clear();
    FSearchTimeOut = timeOut;
    restartSearchTimer();
    invalidateRow(Row());
}

void TCustomDBGrid::StopIncSearch() {
    if (!FSearching) return;
    FSearching = false;
    FSearchText.clear();
    FSearchTimer.stop();
    invalidateRow(Row());
}

void TCustomDBGrid::restartSearchTimer() {
    FSearchTimer.stop();
    if (FSearching && FSearchTimeOut > 0) FSearchTimer.start(FSearchTimeOut, Widget());
}

// One call of the text-locate operation for the search: the current column,
// from the beginning of the cell, without case, stopping at Esc, comparing
// the displayed text except in number columns, where the plain value is
// compared.
bool TCustomDBGrid::searchFor(const std::string& text, TLocateTextDirection direction) {
    TLocateTextRequest request;
    request.Text = text;
    request.Options = ltoCaseInsensitive | ltoStopOnEsc;
    if (!dynamic_cast<const TNumericField*>(SelectedField())) request.Options |= ltoMatchFormat;
    request.Direction = direction;
    request.Matching = ltmFromBeginning;
    FOwnSearch = true;
    struct Done {
        bool& own;
        ~Done() { own = false; }
    } done{FOwnSearch};
    return LocateText(request);
}

void TCustomDBGrid::addSearchText(const std::string& text) {
    const std::string candidate = FSearchText + text;
    if (searchFor(candidate, ltdAll)) {
        // The letter case of the data, as many characters as were looked for.
        const QString found = QString::fromStdString(CellText(Col(), Row()))
                                  .left(QString::fromStdString(candidate).size());
        FSearchText = found.toStdString();
    }
    invalidateRow(Row());
    restartSearchTimer();
}

void TCustomDBGrid::searchNext(TLocateTextDirection direction) {
    searchFor(FSearchText, direction);
    invalidateRow(Row());
    restartSearchTimer();
}

void TCustomDBGrid::searchBackspace() {
    QString text = QString::fromStdString(FSearchText);
    if (!text.isEmpty()) {
        // One character, whatever its length in bytes.
        text.chop(text.back().isLowSurrogate() && text.size() > 1 ? 2 : 1);
        FSearchText = text.toStdString();
    }
    invalidateRow(Row());
    restartSearchTimer();
}

void TCustomDBGrid::addClipboardToSearch() {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty()) addSearchText(text.toStdString());
}
