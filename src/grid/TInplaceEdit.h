#pragma once
// TInplaceEdit: the cell grid's one-line editor, shown over the current cell
// while the grid edits it. The grid creates one on first use and keeps it;
// it is a child of the grid and never takes part in the form's tab order.
//
// Grid to editor: UpdateContents fills it for the current cell (text from
// the grid, no mask, the grid's length limit, all text selected), Place puts
// it over a cell rectangle, the grid shows and hides it.
//
// Editor to grid: every change of its text is reported (SetEditText).
// Before a key or character changes the text, the grid is asked whether the
// cell may be modified (CanEditModify); a typed character the cell does not
// take (CanEditAcceptChar) is dropped with a beep, and so is nothing else. A
// change made another way (the context menu, a drop) is asked for the same
// way and undone when refused. Keys the grid wants (EditorKeyForGrid) go to
// the grid's KeyDown; every typed character passes the grid's KeyPress first.
// Home, End, Left and Right move the caret; Ctrl+A selects all; F2 runs the
// grid's OnKeyDown and puts the caret at the end.
//
// Pasting (Ctrl+V, Shift+Insert, the context menu) puts the clipboard's text
// in place of the selection when the cell may be modified, without the
// characters PasteText leaves out (every control character here), and the
// caret after it.

#include "platform/widgets/TWinControl.h"

#include <QPoint>

#include <string>

class QLineEdit;
class QString;
class TCustomGrid;

class TInplaceEdit : public TWinControl {
public:
    explicit TInplaceEdit(TCustomGrid& grid);
    ~TInplaceEdit() override;

    TCustomGrid& Grid() const { return FGrid; }
    QLineEdit* LineEdit() const;

    std::string Text() const;
    // All text selected; the caret at its end, nothing selected.
    void SelectAll();
    void Deselect();
    // The selected text, for a caller that searches for it.
    std::string SelText() const;
    int SelStart() const;
    int SelLength() const;

    // 0: no limit.
    int MaxLength() const;
    void SetMaxLength(int value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);

    // Refills the editor from the grid's current cell and selects all.
    virtual void UpdateContents();
    // Places the editor over a rectangle of the grid's widget.
    virtual void Place(const TRect& bounds);

    // Types a character as if it came from the keyboard: the grid's key
    // press handling, the checks above, then the text.
    void TypeChar(char ch);
    void PasteFromClipboard();

    unsigned DialogCodes() const override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;

protected:
    // The text area inside the editor, laid out on every placement.
    virtual void LayoutTextArea();
    // What of a text to paste goes into the editor.
    virtual QString PasteText(const QString& text) const;
    bool widgetEvent(QEvent* event) override;

private:
    void textEdited();
    void showContextMenu(QPoint global);

    TCustomGrid& FGrid;
    std::string FAcceptedText; // the text before a change the grid may refuse
    bool FFilling = false;
};
