#pragma once
// TDBNavigator: a row of buttons that move through the dataset of a data
// source and change it: First, Prior, Next, Last, Insert, Delete, Edit, Post
// and Cancel, each running the dataset operation of its name.
//
// The visible buttons share the control's width: button i of n spans from
// i * Width / n to (i + 1) * Width / n, so the widths differ by one pixel at
// most and the row ends exactly at the control's right edge; each is as high
// as the control.
//
// The buttons follow the dataset: all are disabled while it is closed (or
// the source is missing or disabled); First and Prior are enabled unless the
// dataset is at its beginning (Bof), Next and Last unless it is at its end
// (Eof); Insert while it can be modified, Delete while it can be modified and
// is not empty, Edit while it can be modified and is browsing, Post and
// Cancel while it can be modified and a row is being edited or inserted.
//
// Delete asks "Delete record?" (a confirmation with OK and Cancel) unless
// ConfirmDelete is off, and deletes only on OK. The buttons are speed
// buttons: clicking them never takes the focus from the control being
// edited, and the navigator is no tab stop. Hints show only with ShowHint.
// A data source that is destroyed detaches itself: the buttons go disabled.

#include "platform/widgets/TCustomPanel.h"

#include <array>
#include <memory>
#include <set>
#include <string>

class TDataSet;
class TDataSource;
class TSpeedButton;
class NavigatorDataLink;

enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel
};
using TNavButtonSet = std::set<TNavigateBtn>;

class TDBNavigator : public TCustomPanel {
public:
    static constexpr int ButtonKinds = nbCancel + 1;

    explicit TDBNavigator(TComponent* owner);
    ~TDBNavigator() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);

    // Every button by default.
    const TNavButtonSet& VisibleButtons() const { return FVisibleButtons; }
    void SetVisibleButtons(const TNavButtonSet& buttons);
    // Flat buttons show their edge only under the mouse or pressed.
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool ConfirmDelete() const { return FConfirmDelete; }
    void SetConfirmDelete(bool value) { FConfirmDelete = value; }
    // Off by default: the buttons show no hint.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    // The hint of a button ("First record", ...), shown when ShowHint is on.
    static std::string DefaultHint(TNavigateBtn button);

    // The button's control (hidden ones included).
    TSpeedButton* Buttons(TNavigateBtn button) const { return FButtons.at(button); }
    // Runs the button's operation on the dataset, as a click on the button
    // does; nothing without an open dataset. Delete asks first (see above).
    void BtnClick(TNavigateBtn button);

protected:
    void boundsChanged(bool resized) override;

private:
    friend class NavigatorDataLink;
    TDataSet* activeDataSet() const;
    void layoutButtons();
    void updateButtons();

    std::unique_ptr<NavigatorDataLink> FDataLink;
    std::array<TSpeedButton*, ButtonKinds> FButtons{};
    TNavButtonSet FVisibleButtons;
    bool FFlat = false;
    bool FConfirmDelete = true;
    bool FShowHint = false;
};
