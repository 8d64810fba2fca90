#pragma once
// A form laid out like the posting window (description panel, two group
// boxes with fields, a button panel, a hidden panel floating above), built
// in the tests so that the platform layer is checked on its own.

#include "platform/widgets/TCustomControl.h"
#include "platform/widgets/TDateTimePicker.h"
#include "platform/widgets/TEdit.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TGroupBox.h"
#include "platform/widgets/TLabel.h"
#include "platform/widgets/TPanel.h"
#include "platform/widgets/TSpeedButton.h"

#include <string>
#include <vector>

// A custom control that counts its paints.
class TCountingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;

protected:
    void Paint(QPainter&) override { ++Paints; }
};

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner = nullptr) : TForm(owner) {
        BeginLoad();
        SetName("TestForm");
        SetCaption("Test form");
        SetClientWidth(346);
        SetClientHeight(284);
        Top = make<TPanel>("Top", this);
        Top->SetBounds(0, 0, 346, 57);
        Top->SetAlign(alTop);
        Top->SetTabOrder(3);
        BoxA = make<TGroupBox>("BoxA", this);
        BoxA->SetBounds(0, 57, 346, 105);
        BoxA->SetAlign(alTop);
        BoxA->SetCaption("A:");
        BoxA->SetTabOrder(0);
        E1 = field("E1", BoxA, 0);
        E2 = field("E2", BoxA, 1);
        E3 = field("E3", BoxA, 2);
        BoxB = make<TGroupBox>("BoxB", this);
        BoxB->SetBounds(0, 162, 346, 70);
        BoxB->SetAlign(alClient);
        BoxB->SetCaption("B ");
        BoxB->SetTabOrder(1);
        Date = make<TDateTimePicker>("Date", BoxB);
        Date->SetBounds(45, 16, 89, 21);
        Date->SetTabOrder(0);
        E4 = field("E4", BoxB, 1);
        Bottom = make<TPanel>("Bottom", this);
        Bottom->SetBounds(0, 232, 346, 52);
        Bottom->SetAlign(alBottom);
        Bottom->SetTabOrder(2);
        Button = make<TSpeedButton>("Button", Bottom);
        Button->SetBounds(61, 1, 65, 50);
        Button->SetCaption("Go");
        Floating = make<TCountingControl>("Floating", this);
        Floating->SetBounds(24, 72, 305, 169);
        Floating->SetVisible(false);
        Floating->SetTabOrder(4);
        Inside = field("Inside", Floating, 0);
        EndLoad();
    }

    TPanel* Top;
    TGroupBox* BoxA;
    TEdit *E1, *E2, *E3, *E4, *Inside;
    TGroupBox* BoxB;
    TDateTimePicker* Date;
    TPanel* Bottom;
    TSpeedButton* Button;
    TCountingControl* Floating;

    using TForm::DoCreate;

private:
    template <class T> T* make(const char* name, TWinControl* parent) {
        T* c = new T(this);
        c->SetName(name);
        c->SetParent(parent);
        return c;
    }
    TEdit* field(const char* name, TWinControl* parent, int order) {
        TEdit* e = make<TEdit>(name, parent);
        e->SetBounds(76, 8 + 24 * order, 97, 21);
        e->SetTabOrder(order);
        return e;
    }
};
