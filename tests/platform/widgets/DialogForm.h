#pragma once
// A small dialog built in the tests: a free-text box with a label whose
// access key reaches it, a pick-only list, a check box, an edit field, and
// two buttons, one of them the Cancel button.

#include "platform/Classes.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TButton.h"
#include "platform/widgets/TDBCheckBox.h"
#include "platform/widgets/TDBComboBox.h"
#include "platform/widgets/TEdit.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TLabel.h"

class TDialogForm : public TForm {
public:
    explicit TDialogForm(TComponent* owner = nullptr) : TForm(owner) {
        BeginLoad();
        SetName("DialogForm");
        SetCaption("Dialog");
        SetBorderStyle(bsDialog);
        SetClientWidth(300);
        SetClientHeight(140);
        SetPosition(poScreenCenter);
        Label = make<TLabel>("Label", 8, 12, 0, 0);
        Label->SetCaption("Fi&nd:");
        Free = make<TDBComboBox>("Free", 60, 8, 150, 21);
        Free->SetDropDownRows(17);
        Free->SetDropDownSizable(true);
        Free->SetTabOrder(0);
        Label->SetFocusControl(Free);
        Pick = make<TDBComboBox>("Pick", 60, 32, 150, 21);
        TStringList items;
        for (const char* item : {"From any part of field", "Whole field", "From beging of field"})
            items.Add(item);
        Pick->SetItems(items);
        Pick->SetKeyItems(items);
        Pick->SetText("Whole field");
        Pick->SetTabOrder(1);
        Check = make<TDBCheckBox>("Check", 60, 58, 120, 14);
        Check->SetCaption("Match &Case");
        Check->SetTabOrder(2);
        Plain = make<TEdit>("Plain", 60, 80, 100, 21);
        Plain->SetTabOrder(3);
        Go = make<TButton>("Go", 220, 8, 75, 23);
        Go->SetCaption("&Go");
        Go->SetTabOrder(4);
        Cancel = make<TButton>("Cancel", 220, 36, 75, 23);
        Cancel->SetCaption("Close");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetTabOrder(5);
        EndLoad();
    }

    TLabel* Label;
    TDBComboBox* Free;
    TDBComboBox* Pick;
    TDBCheckBox* Check;
    TEdit* Plain;
    TButton* Go;
    TButton* Cancel;

private:
    template <class T> T* make(const char* name, int left, int top, int width, int height) {
        T* c = new T(this);
        c->SetName(name);
        c->SetParent(this);
        c->SetBounds(left, top, width, height);
        return c;
    }
};
