// How a cell is edited: the edit style from the column's ButtonStyle and its
// field, the button and drop-down each style brings, where the cell editor
// puts its buttons and its text, and where a drop-down goes on the screen.

#include "GridTestFixture.h"

#include "data/TStringField.h"
#include "grid/EditStyles.h"
#include "grid/TDBGridInplaceEdit.h"
#include "grid/TEditButtonControl.h"
#include "grid/TPopupMonthCalendar.h"

#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace gridtest;

enum FieldOf { NoField, DateF, DateTimeF, TimeStampF, NumberF, TextF };

std::unique_ptr<TField> makeField(FieldOf kind) {
    switch (kind) {
    case DateF:
        return std::make_unique<TDateField>();
    case DateTimeF:
        return std::make_unique<TDateTimeField>();
    case TimeStampF:
        return std::make_unique<TSQLTimeStampField>();
    case NumberF:
        return std::make_unique<TFMTBCDField>();
    case TextF:
        return std::make_unique<TStringField>();
    case NoField:
        break;
    }
    return nullptr;
}

TEST(GridEditStylesTest, TheStyleButtonAndDropDownOfEveryButtonStyleAndField) {
    struct Case {
        const char* Name;
        TColumnButtonStyle ButtonStyle;
        FieldOf Field;
        bool Lookup, PickList, ReadOnly;
        TEditStyle Style;
        TEditButtonStyle Button; // when the style has one
        TEditDropDown DropDown;
    };
    const Case cases[] = {
        {"auto, usable lookup", cbsAuto, TextF, true, true, false, esDataList, ebsDropDown,
         eddLookupGrid},
        {"auto, pick list", cbsAuto, TextF, false, true, false, esPickList, ebsDropDown,
         eddListBox},
        {"auto, pick list on a read-only column", cbsAuto, TextF, false, true, true, esSimple,
         ebsDropDown, eddNone},
        {"auto, pick list before a date", cbsAuto, DateF, false, true, false, esPickList,
         ebsDropDown, eddListBox},
        {"auto, date", cbsAuto, DateF, false, false, false, esDateCalendar, ebsDropDown,
         eddMonthCalendar},
        {"auto, date and time", cbsAuto, DateTimeF, false, false, false, esDateCalendar,
         ebsDropDown, eddMonthCalendar},
        {"auto, timestamp", cbsAuto, TimeStampF, false, false, false, esDateCalendar,
         ebsDropDown, eddMonthCalendar},
        {"auto, date on a read-only column", cbsAuto, DateF, false, false, true, esSimple,
         ebsDropDown, eddNone},
        {"auto, number", cbsAuto, NumberF, false, false, false, esSimple, ebsDropDown, eddNone},
        {"auto, text", cbsAuto, TextF, false, false, false, esSimple, ebsDropDown, eddNone},
        {"auto, no field", cbsAuto, NoField, false, false, false, esSimple, ebsDropDown, eddNone},
        {"ellipsis", cbsEllipsis, DateF, false, false, true, esEllipsis, ebsEllipsis, eddNone},
        {"none on a date", cbsNone, DateF, false, false, false, esSimple, ebsDropDown, eddNone},
        {"up-down", cbsUpDown, NumberF, false, false, false, esUpDown, ebsUpDown, eddNone},
        {"drop-down, number", cbsDropDown, NumberF, false, false, false, esDropDown, ebsDropDown,
         eddCalculator},
        {"drop-down, date", cbsDropDown, DateF, false, false, false, esDropDown, ebsDropDown,
         eddNone},
        {"alternate up-down", cbsAltUpDown, TextF, false, false, false, esAltUpDown,
         ebsAltUpDown, eddNone},
        {"alternate drop-down, date", cbsAltDropDown, DateF, false, false, false,
         esAltDateCalendar, ebsAltDropDown, eddMonthCalendar},
        {"alternate drop-down, timestamp, read-only", cbsAltDropDown, TimeStampF, false, false,
         true, esAltDateCalendar, ebsAltDropDown, eddMonthCalendar},
        {"alternate drop-down, number", cbsAltDropDown, NumberF, false, false, false,
         esAltDropDown, ebsAltDropDown, eddCalculator},
        {"alternate drop-down, text", cbsAltDropDown, TextF, false, false, false, esAltDropDown,
         ebsAltDropDown, eddNone},
        {"alternate drop-down, no field", cbsAltDropDown, NoField, false, false, false,
         esAltDropDown, ebsAltDropDown, eddNone},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<TField> field = makeField(c.Field);
        TEditStyleSource source;
        source.ButtonStyle = c.ButtonStyle;
        source.Field = field.get();
        source.UsableLookup = c.Lookup;
        source.HasPickList = c.PickList;
        source.ColumnReadOnly = c.ReadOnly;
        const TEditStyle style = EditStyleFor(source);
        EXPECT_EQ(style, c.Style) << c.Name;
        EXPECT_EQ(HasEditButton(style), style != esSimple) << c.Name;
        if (HasEditButton(style)) EXPECT_EQ(EditButtonStyleOf(style), c.Button) << c.Name;
        EXPECT_EQ(DropDownOf(style, field.get()), c.DropDown) << c.Name;
    }
}

TDBGridInplaceEdit* editorOf(TDBGrid* grid) {
    return static_cast<TDBGridInplaceEdit*>(grid->InplaceEditor());
}

QRect geometryOf(TControl* control) {
    return control->Widget()->geometry();
}

TEST(GridEditStylesTest, EachCellIsEditedInItsColumnsStyleChosenWhenTheEditorIsFilled) {
    GridForm f;
    f.Show();
    struct Case {
        int Column;
        TEditStyle Style;
        bool Button;
    };
    for (const Case& c : {Case{0, esDateCalendar, true}, Case{1, esDateCalendar, true},
                          Case{2, esSimple, false}, Case{3, esSimple, false},
                          Case{0, esDateCalendar, true}}) {
        f.Grid->SetSelectedIndex(c.Column);
        guitest::PressKey(Qt::Key_F2);
        TDBGridInplaceEdit* editor = editorOf(f.Grid);
        ASSERT_TRUE(editor && f.Grid->EditorShowing()) << c.Column;
        EXPECT_EQ(editor->EditStyle(), c.Style) << c.Column;
        EXPECT_EQ(editor->Buttons(0)->Visible(), c.Button) << c.Column;
        EXPECT_EQ(editor->ButtonsWidth(), c.Button ? editor->ButtonWidth() : 0) << c.Column;
        guitest::PressKey(Qt::Key_Escape);
    }
    // Number cells never make a calendar; the first date cell made it.
    EXPECT_NE(editorOf(f.Grid)->Calendar(), nullptr);

    // Another ButtonStyle is read at the next fill: none makes a date cell
    // plain, an ellipsis gives a number cell its button.
    f.Grid->Columns()[0]->SetButtonStyle(cbsNone);
    f.Grid->Columns()[3]->SetButtonStyle(cbsEllipsis);
    f.Grid->SetSelectedIndex(3);
    guitest::PressKey(Qt::Key_F2);
    EXPECT_EQ(editorOf(f.Grid)->EditStyle(), esEllipsis);
    EXPECT_TRUE(editorOf(f.Grid)->Buttons(0)->Visible());
    EXPECT_EQ(editorOf(f.Grid)->Buttons(0)->Style(), ebsEllipsis);
    guitest::PressKey(Qt::Key_Escape);
    f.Grid->SetSelectedIndex(0);
    guitest::PressKey(Qt::Key_F2);
    EXPECT_EQ(editorOf(f.Grid)->EditStyle(), esSimple);
    EXPECT_FALSE(editorOf(f.Grid)->Buttons(0)->Visible());
    EXPECT_EQ(editorOf(f.Grid)->ButtonsWidth(), 0);
}

TEST(GridEditStylesTest, ButtonsStandAtTheRightAndTheTextKeepsLeftOfThem) {
    GridForm f;
    f.Show();
    // The column's own button right of the style's, one hidden.
    int clicked = 0;
    f.Grid->Columns()[0]->SetEditButtons(
        {TColumnEditButton{ebsEllipsis, true, [&](TObject*) { ++clicked; }},
         TColumnEditButton{ebsUpDown, false, nullptr}});
    f.Grid->SetSelectedIndex(0);
    guitest::PressKey(Qt::Key_F2);
    TDBGridInplaceEdit* editor = editorOf(f.Grid);
    GridForm::Settle();

    const int width = TCustomGrid::SystemScrollBarWidth();
    EXPECT_EQ(editor->ButtonWidth(), width);
    const int editorWidth = editor->Width();
    const int editorHeight = editor->Height();
    // The cell is lower than one and a half buttons: the buttons are as high
    // as the editor.
    ASSERT_LT(editorHeight * 2, width * 3);
    EXPECT_EQ(geometryOf(editor->Buttons(0)), QRect(editorWidth - width, 0, width, editorHeight));
    EXPECT_EQ(geometryOf(editor->Buttons(1)),
              QRect(editorWidth - 2 * width, 0, width, editorHeight));
    EXPECT_FALSE(editor->Buttons(2)->Visible());
    EXPECT_EQ(editor->ButtonsWidth(), 2 * width);
    const QMargins text = editor->LineEdit()->textMargins();
    EXPECT_EQ(text.top(), 2);
    EXPECT_EQ(text.right(), 2 + 2 * width);

    // A row higher than one and a half buttons: square buttons, top-aligned.
    guitest::PressKey(Qt::Key_Escape);
    f.Grid->SetFont(TFont("MS Sans Serif", -2 * width, clWindowText));
    GridForm::Settle();
    guitest::PressKey(Qt::Key_F2);
    GridForm::Settle();
    ASSERT_GT(editor->Height() * 2, width * 3);
    EXPECT_EQ(geometryOf(editor->Buttons(0)), QRect(editor->Width() - width, 0, width, width));

    // The column's button runs its handler with the grid.
    QTest::mouseClick(editor->Buttons(1)->Widget(), Qt::LeftButton);
    EXPECT_EQ(clicked, 1);
    EXPECT_FALSE(editor->ListVisible());
}

TEST(GridEditStylesTest, AFlatGridHasNarrowerButtonsWithASeparator) {
    GridForm f;
    f.Grid->SetFlat(true);
    f.Show();
    f.Grid->SetSelectedIndex(1);
    guitest::PressKey(Qt::Key_F2);
    GridForm::Settle();
    TDBGridInplaceEdit* editor = editorOf(f.Grid);
    EXPECT_EQ(editor->ButtonWidth(), TDBGridInplaceEdit::FlatButtonWidth + 1);
    const QRect button = geometryOf(editor->Buttons(0));
    EXPECT_EQ(button.right(), editor->Width() - 1);
    EXPECT_EQ(button.width(), TDBGridInplaceEdit::FlatButtonWidth);
    EXPECT_EQ(editor->ButtonsWidth(), TDBGridInplaceEdit::FlatButtonWidth + 1);
    EXPECT_EQ(editor->LineEdit()->textMargins().top(), 1);
}

TEST(GridEditStylesTest, ADropDownGoesBelowOrAboveInsideTheWorkArea) {
    const TRect work = Bounds(0, 0, 800, 600);
    struct Case {
        const char* Name;
        TRect Editor;
        int Width, Height;
        TRect Expected;
    };
    const Case cases[] = {
        {"below", Bounds(100, 100, 80, 17), 200, 180, Bounds(100, 117, 200, 180)},
        {"just fits below", Bounds(100, 403, 80, 17), 200, 180, Bounds(100, 420, 200, 180)},
        {"above when only above fits", Bounds(100, 500, 80, 17), 200, 180,
         Bounds(100, 320, 200, 180)},
        {"neither: below has more room, cut", Bounds(100, 200, 80, 17), 200, 500,
         Bounds(100, 217, 200, 383)},
        {"neither: above has more room, cut", Bounds(100, 380, 80, 17), 200, 500,
         Bounds(100, 0, 200, 380)},
        {"shifted left to stay inside", Bounds(700, 100, 80, 17), 200, 180,
         Bounds(600, 117, 200, 180)},
        {"narrowed to the work area", Bounds(10, 100, 80, 17), 900, 180,
         Bounds(0, 117, 800, 180)},
        {"shifted right to stay inside", Bounds(-30, 100, 80, 17), 200, 180,
         Bounds(0, 117, 200, 180)},
    };
    for (const Case& c : cases) {
        const TRect r = DropDownBounds(c.Editor, c.Width, c.Height, work);
        EXPECT_EQ(QRect(r.Left, r.Top, r.Width(), r.Height()),
                  QRect(c.Expected.Left, c.Expected.Top, c.Expected.Width(),
                        c.Expected.Height()))
            << c.Name;
    }
    // A work area that does not start at the origin (a taskbar on top).
    const TRect r = DropDownBounds(Bounds(100, 60, 80, 17), 200, 580, Bounds(0, 40, 800, 560));
    EXPECT_EQ(r.Top, 77);
    EXPECT_EQ(r.Bottom, 600);
}

} // namespace
