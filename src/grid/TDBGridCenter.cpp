#include "grid/TDBGridCenter.h"

#include "data/TDataSet.h"
#include "data/TField.h"
#include "grid/GridErrors.h"
#include "grid/TCustomDBGrid.h"
#include "grid/TGridDataLink.h"
#include "platform/SysUtils.h"
#include "platform/widgets/InputHold.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <optional>

TExecuteDBGridFindDialogProc ExecuteDBGridFindDialogProc;

namespace {

TDBGridCenter* gCenter = nullptr;

struct TRegisteredFeature {
    std::function<bool(const TDataSet&)> Applies;
    std::shared_ptr<TDataSetTextLocateFeature> Feature;
};

std::vector<TRegisteredFeature>& registry() {
    static std::vector<TRegisteredFeature> features;
    return features;
}

bool isAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 128; });
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares cell texts with one search text, as a request asks. Texts are
// UTF-8. Without case, both sides are compared in the upper-case form the
// system locale gives; where that form of every ASCII letter is the plain
// one, ASCII texts are folded byte by byte, which is the same and costs no
// conversion per cell.
class TTextMatcher {
public:
    TTextMatcher(const std::string& text, TLocateTextMatchType matching, bool caseInsensitive)
        : FText(text), FMatching(matching), FCaseInsensitive(caseInsensitive) {
        if (!caseInsensitive) return;
        FAsciiFolds = FLocale.toUpper(QStringLiteral("abcdefghijklmnopqrstuvwxyz")) ==
                      QLatin1String("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        FTextIsAscii = isAscii(text);
        if (FAsciiFolds && FTextIsAscii)
            std::transform(FText.begin(), FText.end(), FText.begin(), asciiUpper);
        FUpperText = FLocale.toUpper(QString::fromStdString(text));
    }

    bool Matches(const std::string& cell) const {
        // An empty text is part of nothing, equal to an empty cell, and the
        // beginning of every cell.
        if (FText.empty())
            return FMatching == ltmWhole ? cell.empty() : FMatching == ltmFromBeginning;
        if (!FCaseInsensitive) return matchBytes(cell, false);
        if (FAsciiFolds && FTextIsAscii && isAscii(cell)) return matchBytes(cell, true);
        const QString upper = FLocale.toUpper(QString::fromStdString(cell));
        switch (FMatching) {
        case ltmWhole:
            return upper == FUpperText;
        case ltmFromBeginning:
            return upper.startsWith(FUpperText);
        case ltmAnywhere:
            break;
        }
        return upper.contains(FUpperText);
    }

private:
    bool matchBytes(const std::string& cell, bool fold) const {
        const size_t n = FText.size();
        auto same = [fold](char a, char b) { return (fold ? asciiUpper(a) : a) == b; };
        switch (FMatching) {
        case ltmWhole:
            return cell.size() == n && std::equal(cell.begin(), cell.end(), FText.begin(), same);
        case ltmFromBeginning:
            return cell.size() >= n && std::equal(FText.begin(), FText.end(), cell.begin(),
                                                  [&](char t, char c) { return same(c, t); });
        case ltmAnywhere:
            break;
        }
        return std::search(cell.begin(), cell.end(), FText.begin(), FText.end(), same) !=
               cell.end();
    }

    QLocale FLocale;
    std::string FText;
    QString FUpperText;
    TLocateTextMatchType FMatching;
    bool FCaseInsensitive;
    bool FAsciiFolds = false;
    bool FTextIsAscii = false;
};

// Where the grid stood: the record in its top row, and how many rows below
// it the current record was.
struct TGridPosition {
    TBookmark Top;
    int Below = 0;
};

TGridPosition rememberPosition(TGridDataLink& link) {
    TDataSet* ds = link.DataSet();
    TGridPosition p;
    p.Below = link.ActiveRecord();
    link.SetActiveRecord(0);
    p.Top = ds->Bookmark();
    link.SetActiveRecord(p.Below);
    return p;
}

void restorePosition(TGridDataLink& link, const TGridPosition& p) {
    if (!p.Top) return;
    TDataSet* ds = link.DataSet();
    ds->GotoBookmark(p.Top);
    // Going to a record puts it in the middle of the window; walking down a
    // window's height from it brings it to the top row, and walking back
    // puts the current record where it was.
    const int moved = ds->MoveBy(link.BufferCount() - 1);
    ds->MoveBy(p.Below - moved);
}

} // namespace

// ---- the shared object ---------------------------------------------------------

TDBGridCenter& DBGridCenter() {
    static TDBGridCenter standard;
    return gCenter ? *gCenter : standard;
}

TDBGridCenter* SetDBGridCenter(TDBGridCenter* center) {
    TDBGridCenter* old = gCenter;
    gCenter = center;
    return old;
}

bool TDBGridCenter::LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) {
    if (TDataSet* ds = grid.DataLink().DataSet())
        if (TDataSetTextLocateFeature* feature = FindDataSetTextLocateFeature(*ds))
            return feature->LocateText(grid, request);
    return GenericLocateText(grid, request);
}

void TDBGridCenter::ExecuteFindDialog(TCustomDBGrid& grid, const std::string& text,
                                      const std::vector<TDBGridColumn*>& columns, bool modal) {
    if (ExecuteDBGridFindDialogProc) ExecuteDBGridFindDialogProc(grid, text, columns, modal);
}

// ---- the registry -----------------------------------------------------------------

void RegisterDataSetTextLocateFeature(std::function<bool(const TDataSet&)> applies,
                                      std::shared_ptr<TDataSetTextLocateFeature> feature) {
    registry().push_back(TRegisteredFeature{std::move(applies), std::move(feature)});
}

void UnregisterDataSetTextLocateFeature(const TDataSetTextLocateFeature* feature) {
    auto& features = registry();
    features.erase(
        std::remove_if(features.begin(), features.end(),
                       [&](const TRegisteredFeature& f) { return f.Feature.get() == feature; }),
        features.end());
}

TDataSetTextLocateFeature* FindDataSetTextLocateFeature(const TDataSet& dataSet) {
    const auto& features = registry();
    for (auto it = features.rbegin(); it != features.rend(); ++it)
        if (it->Applies(dataSet)) return it->Feature.get();
    return nullptr;
}

// ---- the generic search -----------------------------------------------------------

bool GenericLocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) {
    TGridDataLink& link = grid.DataLink();
    TDataSet* ds = link.DataSet();
    if (!grid.DataSource() || !ds || !ds->Active() || !link.Active()) return false;

    std::vector<TDBGridColumn*> visible;
    for (int i = 0; i < grid.Columns().Count(); ++i)
        if (grid.Columns()[i]->Visible()) visible.push_back(grid.Columns()[i]);
    if (visible.empty()) return false;
    int pos = 0;
    if (!request.FieldName.empty()) {
        auto it = std::find_if(visible.begin(), visible.end(), [&](const TDBGridColumn* c) {
            return UpperCase(c->FieldName()) == UpperCase(request.FieldName);
        });
        if (it == visible.end())
            throw EInvalidGridOperation(Format(SFieldNameNotFound, {request.FieldName}));
        pos = static_cast<int>(it - visible.begin());
    } else {
        auto it = std::find(visible.begin(), visible.end(), grid.SelectedColumn());
        pos = it == visible.end() ? 0 : static_cast<int>(it - visible.begin());
    }
    const int count = static_cast<int>(visible.size());

    // A pending change is finished the way the first move would finish it,
    // so that the position is taken on browsed records.
    ds->CheckBrowseMode();
    const TTextMatcher matcher(request.Text, request.Matching,
                               request.Options & ltoCaseInsensitive);
    const bool displayed = request.Options & ltoMatchFormat;
    const bool allFields = request.Options & ltoAllFields;
    const bool up = request.Direction == ltdUp;
    std::optional<TInputHold> hold;
    if (request.Options & ltoStopOnEsc) hold.emplace();

    // The end of the steps is told by a move that could not be made: the
    // dataset's Bof and Eof stay set while the steps go from column to
    // column on the first or last record.
    auto step = [&]() -> bool {
        if (allFields) {
            if (!up && pos + 1 < count) return ++pos, true;
            if (up && pos > 0) return --pos, true;
        }
        if (ds->MoveBy(up ? -1 : 1) == 0) return false;
        if (allFields) pos = up ? count - 1 : 0;
        return true;
    };
    auto cellText = [&]() -> std::string {
        const TDBGridColumn* column = visible[static_cast<size_t>(pos)];
        TField* field = column->Field();
        if (!field) return {};
        return displayed ? column->DisplayText() : field->AsString();
    };

    ds->DisableControls();
    bool found = false;
    try {
        const TGridPosition start = rememberPosition(link);
        bool more;
        if (request.Direction == ltdAll) {
            ds->First();
            more = !ds->IsEmpty();
        } else {
            more = step();
        }
        while (more) {
            if (matcher.Matches(cellText())) {
                found = true;
                break;
            }
            if (hold && hold->KeyPressWaiting(grid.Widget(), VK_ESCAPE)) break;
            more = step();
        }
        if (!found) restorePosition(link, start);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
    if (found) grid.SetSelectedIndex(visible[static_cast<size_t>(pos)]->Index());
    return found;
}
