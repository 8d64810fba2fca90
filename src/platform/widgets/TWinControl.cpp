#include "platform/widgets/TWinControl.h"

#include "platform/Exceptions.h"
#include "platform/widgets/TForm.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <climits>

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {}

TWinControl::~TWinControl() {
    FDestroying = true;
    if (TForm* form = ParentForm(); form && form != this) form->controlDestroying(this);
    // Children go first, whoever owns them, so that no control outlives the
    // widget it is drawn in.
    while (!FControls.empty())
        delete FControls.back();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::insertControl(TControl* control) {
    FControls.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control)) FTabList.push_back(w);
}

void TWinControl::removeControl(TControl* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), control), FTabList.end());
    if (FDestroying) return;
    if (control->Align() != alNone) Realign();
    childrenChanged();
}

int TWinControl::TabOrder() const {
    if (FLoadingTabOrder >= 0) return FLoadingTabOrder;
    TWinControl* parent = Parent();
    if (!parent) return -1;
    auto& list = parent->FTabList;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    TForm* form = ParentForm();
    TWinControl* parent = Parent();
    if (!parent || (form && form->Loading())) {
        FLoadingTabOrder = std::max(0, value);
        return;
    }
    auto& list = parent->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    size_t at = value < 0 || static_cast<size_t>(value) > list.size() ? list.size()
                                                                      : static_cast<size_t>(value);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), this);
}

void TWinControl::fixupTabList() {
    // Each child goes to the place it was given while loading; children
    // without one keep their order after those.
    std::vector<std::pair<int, TWinControl*>> order;
    for (size_t i = 0; i < FTabList.size(); ++i) {
        int wanted = FTabList[i]->FLoadingTabOrder;
        order.emplace_back(wanted >= 0 ? wanted : INT_MAX, FTabList[i]);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < order.size(); ++i) {
        FTabList[i] = order[i].second;
        FTabList[i]->FLoadingTabOrder = -1;
    }
    for (TWinControl* child : FTabList)
        child->fixupTabList();
}

void TWinControl::SetTabStop(bool value) {
    FTabStop = value;
}

bool TWinControl::CanFocus() const {
    const TForm* form = ParentForm();
    if (!form) return false;
    for (const TControl* c = this; c != form; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled() || !c->Parent()) return false;
    }
    return true;
}

bool TWinControl::Focused() const {
    QWidget* focus = QApplication::focusWidget();
    return focus && TControl::FromWidget(focus) == this;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ParentForm()->focusControl(this);
}

bool TWinControl::DialogKey(uint16_t key, TShiftState shift) {
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible() && w->DialogKey(key, shift))
            return true;
    return false;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* child : FTabList) {
        list.push_back(child);
        child->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int count = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
    if (start == count) start = goForward ? count - 1 : 0;
    int i = start;
    do {
        if (goForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[i];
        if (c->CanFocus() && (!checkTabStop || c->TabStop()) &&
            (!checkParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
        next->SetFocus();
}

void TWinControl::Realign() {
    if (FAligning) return;
    FAligning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FAligning};
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(r);
}

void TWinControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    {
        // One alignment at the end, in the scaled client area, instead of one
        // per child with sizes half scaled.
        bool wasAligning = FAligning;
        FAligning = true;
        struct Reset {
            bool& flag;
            bool value;
            ~Reset() { flag = value; }
        } reset{FAligning, wasAligning};
        std::vector<TControl*> children = FControls;
        for (TControl* c : children)
            c->ChangeScale(M, D);
        TControl::ChangeScale(M, D);
    }
    Realign();
    childrenChanged();
}

void TWinControl::AlignControls(TRect r) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        // Nearest the edge they align to first; ties keep creation order.
        auto key = [align](const TControl* c) {
            switch (align) {
            case alTop:
                return c->Top();
            case alBottom:
                return -(c->Top() + c->Height());
            case alLeft:
                return c->Left();
            case alRight:
                return -(c->Left() + c->Width());
            default:
                return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(),
                         [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
        for (TControl* c : list) {
            switch (align) {
            case alTop:
                c->setAlignedBounds(r.Left, r.Top, r.Width(), c->Height());
                r.Top += c->Height();
                break;
            case alBottom:
                c->setAlignedBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                r.Bottom -= c->Height();
                break;
            case alLeft:
                c->setAlignedBounds(r.Left, r.Top, c->Width(), r.Height());
                r.Left += c->Width();
                break;
            case alRight:
                c->setAlignedBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
                r.Right -= c->Width();
                break;
            default:
                c->setAlignedBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            }
        }
    }
}

void TWinControl::boundsChanged(bool resized) {
    if (resized) Realign();
}

void TWinControl::visibleChanged() {}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
