#include "navigator/TDBNavigator.h"

#include "data/TDataLink.h"
#include "data/TDataSet.h"
#include "data/TDataSource.h"
#include "navigator/NavigatorGlyphs.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TSpeedButton.h"

#include <QString>
#include <QWidget>

// The navigator's link to its data source: every notification that may
// change Bof, Eof, the state or the rows sets the buttons again.
class NavigatorDataLink : public TDataLink {
public:
    explicit NavigatorDataLink(TDBNavigator& navigator) : FNavigator(navigator) {}

protected:
    void ActiveChanged() override { FNavigator.updateButtons(); }
    void DataSetChanged() override { FNavigator.updateButtons(); }
    void DataSetScrolled(int) override { FNavigator.updateButtons(); }
    void EditingChanged() override { FNavigator.updateButtons(); }

private:
    TDBNavigator& FNavigator;
};

TDBNavigator::TDBNavigator(TComponent* owner)
    : TCustomPanel(owner), FDataLink(std::make_unique<NavigatorDataLink>(*this)) {
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetTabStop(false);
    for (int i = 0; i < ButtonKinds; ++i) {
        auto kind = static_cast<TNavigateBtn>(i);
        FVisibleButtons.insert(kind);
        // Owned by the navigator: the form's components are the ones it
        // describes, the buttons are parts of this one.
        auto* button = new TSpeedButton(this);
        button->SetGlyph(NavigatorGlyph(kind));
        button->SetParent(this);
        button->OnClick = [this, kind](TObject*) { BtnClick(kind); };
        FButtons[i] = button;
    }
    SetBounds(0, 0, 241, 25);
    layoutButtons();
    updateButtons();
}

TDBNavigator::~TDBNavigator() {
    // The link goes before the buttons it would update.
    FDataLink.reset();
}

TDataSource* TDBNavigator::DataSource() const {
    return FDataLink->DataSource();
}

void TDBNavigator::SetDataSource(TDataSource* source) {
    FDataLink->SetDataSource(source);
    updateButtons();
}

void TDBNavigator::SetVisibleButtons(const TNavButtonSet& buttons) {
    FVisibleButtons = buttons;
    for (int i = 0; i < ButtonKinds; ++i)
        FButtons[i]->SetVisible(FVisibleButtons.count(static_cast<TNavigateBtn>(i)) != 0);
    layoutButtons();
    Invalidate();
}

void TDBNavigator::SetFlat(bool value) {
    FFlat = value;
    for (TSpeedButton* button : FButtons)
        button->SetFlat(value);
}

void TDBNavigator::SetShowHint(bool value) {
    FShowHint = value;
    for (int i = 0; i < ButtonKinds; ++i) {
        std::string hint = value ? DefaultHint(static_cast<TNavigateBtn>(i)) : std::string();
        FButtons[i]->Widget()->setToolTip(QString::fromStdString(hint));
    }
}

std::string TDBNavigator::DefaultHint(TNavigateBtn button) {
    switch (button) {
    case nbFirst:
        return "First record";
    case nbPrior:
        return "Prior record";
    case nbNext:
        return "Next record";
    case nbLast:
        return "Last record";
    case nbInsert:
        return "Insert record";
    case nbDelete:
        return "Delete record";
    case nbEdit:
        return "Edit record";
    case nbPost:
        return "Post edit";
    case nbCancel:
        return "Cancel edit";
    }
    return {};
}

void TDBNavigator::boundsChanged(bool resized) {
    TCustomPanel::boundsChanged(resized);
    if (resized) layoutButtons();
}

void TDBNavigator::layoutButtons() {
    TRect area = ClientRect();
    AdjustClientRect(area);
    std::vector<TSpeedButton*> shown;
    for (int i = 0; i < ButtonKinds; ++i)
        if (FVisibleButtons.count(static_cast<TNavigateBtn>(i))) shown.push_back(FButtons[i]);
    const int count = static_cast<int>(shown.size());
    for (int i = 0; i < count; ++i) {
        int left = area.Left + i * area.Width() / count;
        int right = area.Left + (i + 1) * area.Width() / count;
        shown[i]->SetBounds(left, area.Top, right - left, area.Height());
    }
}

TDataSet* TDBNavigator::activeDataSet() const {
    return FDataLink && FDataLink->Active() ? FDataLink->DataSet() : nullptr;
}

void TDBNavigator::updateButtons() {
    TDataSet* ds = activeDataSet();
    const bool canModify = ds && ds->CanModify() && !FDataLink->ReadOnly();
    const bool editing = ds && FDataLink->Editing();
    auto enable = [this](TNavigateBtn button, bool value) { FButtons[button]->SetEnabled(value); };
    enable(nbFirst, ds && !ds->Bof());
    enable(nbPrior, ds && !ds->Bof());
    enable(nbNext, ds && !ds->Eof());
    enable(nbLast, ds && !ds->Eof());
    enable(nbInsert, canModify);
    enable(nbDelete, canModify && !ds->IsEmpty());
    enable(nbEdit, canModify && !editing);
    enable(nbPost, canModify && editing);
    enable(nbCancel, canModify && editing);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    TDataSet* ds = activeDataSet();
    if (!ds) return;
    switch (button) {
    case nbFirst:
        ds->First();
        break;
    case nbPrior:
        ds->Prior();
        break;
    case nbNext:
        ds->Next();
        break;
    case nbLast:
        ds->Last();
        break;
    case nbInsert:
        ds->Insert();
        break;
    case nbDelete:
        if (!FConfirmDelete ||
            MessageDlg("Delete record?", mtConfirmation, mbOK | mbCancel, 0) == mrOk)
            ds->Delete();
        break;
    case nbEdit:
        ds->Edit();
        break;
    case nbPost:
        ds->Post();
        break;
    case nbCancel:
        ds->Cancel();
        break;
    }
}
