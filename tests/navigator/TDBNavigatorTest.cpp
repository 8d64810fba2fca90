// The record navigator on a real client dataset fed by a provider: which
// buttons are enabled in each state of the dataset, what each button does
// when clicked with the mouse, the delete confirmation, the layout of the
// buttons, and that it neither takes the focus nor shows hints.

#include "data/ClientDataSetFixtures.h"
#include "navigator/TDBNavigator.h"
#include "platform/widgets/GuiTestHelpers.h"
#include "platform/widgets/TEdit.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TSpeedButton.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

using namespace fixtures;

namespace {

const TNavButtonSet kWindowButtons = {nbFirst,  nbPrior,  nbNext,  nbLast,
                                      nbInsert, nbDelete, nbCancel};

// A form with an edit field and the navigator below it, as the editor's
// panel holds the grid and the navigator; the navigator shows the rows of a
// client dataset through a data source.
struct NavigatorForm {
    explicit NavigatorForm(int rows) {
        form.SetClientWidth(346);
        form.SetClientHeight(284);
        edit = new TEdit(&form);
        edit->SetName("Edit1");
        edit->SetParent(&form);
        edit->SetBounds(1, 19, 303, 21);
        edit->SetTabOrder(0);
        navigator = new TDBNavigator(&form);
        navigator->SetName("DBNavigator1");
        navigator->SetParent(&form);
        navigator->SetBounds(1, 150, 303, 18);
        navigator->SetTabOrder(1);
        navigator->SetVisibleButtons(kWindowButtons);
        last = new TEdit(&form);
        last->SetName("Edit2");
        last->SetParent(&form);
        last->SetBounds(1, 200, 100, 21);
        last->SetTabOrder(2);
        provider = new TPacketProvider(&form, "P", SimpleFields(), SimpleRows(rows));
        ds = new TClientDataSet(&form);
        ds->SetProviderName("P");
        source = new TDataSource(&form);
        source->SetDataSet(ds);
        navigator->SetDataSource(source);
    }

    // The enabled buttons among the window's seven, in their order.
    std::string enabled() const {
        static const char* const names[] = {"First",  "Prior", "Next", "Last",  "Insert",
                                            "Delete", "Edit",  "Post", "Cancel"};
        std::string s;
        for (TNavigateBtn b : kWindowButtons)
            if (navigator->Buttons(b)->Enabled())
                s += (s.empty() ? "" : " ") + std::string(names[b]);
        return s;
    }

    void click(TNavigateBtn button) {
        QWidget* w = navigator->Buttons(button)->Widget();
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }

    int currentId() const { return ds->FieldByName("ID")->AsInteger(); }

    TSettingsGuard settings;
    guitest::DialogAndSettings env;
    TForm form{nullptr};
    TEdit* edit;
    TDBNavigator* navigator;
    TEdit* last;
    TPacketProvider* provider;
    TClientDataSet* ds;
    TDataSource* source;
};

} // namespace

TEST(DBNavigator, ButtonsFollowTheDataSet) {
    struct Case {
        const char* Name;
        int Rows;
        std::function<void(TClientDataSet&)> Act;
        std::string Enabled;
    };
    const std::vector<Case> cases = {
        {"closed", 10, [](TClientDataSet&) {}, ""},
        {"just opened", 10, [](TClientDataSet& ds) { ds.Open(); }, "Next Last Insert Delete"},
        {"after Next", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
         },
         "First Prior Next Last Insert Delete"},
        {"after Last", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Last();
         },
         "First Prior Insert Delete"},
        {"after Last and Prior", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Last();
             ds.Prior();
         },
         "First Prior Next Last Insert Delete"},
        {"after Next and First", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.First();
         },
         "Next Last Insert Delete"},
        {"Prior that finds no earlier row", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.Prior();
             ds.Prior();
         },
         "Next Last Insert Delete"},
        // Eof comes only with a move that hits the end, as for any dataset.
        {"one row", 1, [](TClientDataSet& ds) { ds.Open(); }, "Next Last Insert Delete"},
        {"one row after Next", 1,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
         },
         "First Prior Insert Delete"},
        {"empty", 0, [](TClientDataSet& ds) { ds.Open(); }, "Insert"},
        {"editing", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.Edit();
         },
         "First Prior Next Last Insert Delete Cancel"},
        {"inserting", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.Insert();
         },
         "First Prior Next Last Insert Delete Cancel"},
        // The new row is a row: neither Bof nor Eof, not empty (Delete
        // cancels it).
        {"inserting into an empty dataset", 0,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Insert();
         },
         "First Prior Next Last Insert Delete Cancel"},
        {"edit cancelled", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.Edit();
             ds.Cancel();
         },
         "First Prior Next Last Insert Delete"},
        {"read-only", 10,
         [](TClientDataSet& ds) {
             ds.SetReadOnly(true);
             ds.Open();
         },
         "Next Last"},
        {"read-only after Next", 10,
         [](TClientDataSet& ds) {
             ds.SetReadOnly(true);
             ds.Open();
             ds.Next();
         },
         "First Prior Next Last"},
        {"closed again", 10,
         [](TClientDataSet& ds) {
             ds.Open();
             ds.Next();
             ds.Close();
         },
         ""},
    };
    for (const Case& c : cases) {
        NavigatorForm f(c.Rows);
        c.Act(*f.ds);
        EXPECT_EQ(f.enabled(), c.Enabled) << c.Name;
    }
}

TEST(DBNavigator, HiddenEditAndPostFollowTheStateToo) {
    NavigatorForm f(3);
    f.navigator->SetVisibleButtons(
        {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel});
    f.ds->Open();
    EXPECT_TRUE(f.navigator->Buttons(nbEdit)->Enabled());
    EXPECT_FALSE(f.navigator->Buttons(nbPost)->Enabled());
    f.click(nbEdit);
    EXPECT_EQ(f.ds->State(), dsEdit);
    EXPECT_FALSE(f.navigator->Buttons(nbEdit)->Enabled());
    EXPECT_TRUE(f.navigator->Buttons(nbPost)->Enabled());
    f.ds->FieldByName("NAME")->SetAsString("changed");
    f.click(nbPost);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    EXPECT_EQ(f.ds->FieldByName("NAME")->AsString(), "changed");
    EXPECT_EQ(f.ds->ChangeCount(), 1);
}

TEST(DBNavigator, WithoutADataSourceOrWithADisabledOneNothingIsEnabled) {
    NavigatorForm f(5);
    f.ds->Open();
    f.source->SetEnabled(false);
    EXPECT_EQ(f.enabled(), "");
    f.source->SetEnabled(true);
    EXPECT_EQ(f.enabled(), "Next Last Insert Delete");
    f.navigator->SetDataSource(nullptr);
    EXPECT_EQ(f.enabled(), "");
    f.navigator->SetDataSource(f.source);
    EXPECT_EQ(f.enabled(), "Next Last Insert Delete");
    delete f.source;
    f.source = nullptr;
    EXPECT_EQ(f.navigator->DataSource(), nullptr);
    EXPECT_EQ(f.enabled(), "");
    f.ds->Next(); // nothing reaches the navigator any more
    EXPECT_EQ(f.enabled(), "");
}

TEST(DBNavigator, EachButtonRunsTheOperationOfItsName) {
    NavigatorForm f(5);
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.ds->Open();
    f.click(nbNext);
    EXPECT_EQ(f.currentId(), 2);
    f.click(nbNext);
    EXPECT_EQ(f.currentId(), 3);
    f.click(nbLast);
    EXPECT_EQ(f.currentId(), 5);
    EXPECT_TRUE(f.ds->Eof());
    f.click(nbPrior);
    EXPECT_EQ(f.currentId(), 4);
    f.click(nbFirst);
    EXPECT_EQ(f.currentId(), 1);
    EXPECT_TRUE(f.ds->Bof());

    f.click(nbNext);
    f.click(nbInsert);
    EXPECT_EQ(f.ds->State(), dsInsert);
    EXPECT_TRUE(f.ds->FieldByName("ID")->IsNull());
    EXPECT_EQ(f.enabled(), "First Prior Next Last Insert Delete Cancel");
    f.click(nbCancel);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    EXPECT_EQ(f.currentId(), 2);
    EXPECT_EQ(f.ds->RecordCount(), 5);
    EXPECT_EQ(f.ds->ChangeCount(), 0);
    EXPECT_TRUE(f.env.Dialogs.Boxes().empty());
}

TEST(DBNavigator, DeleteAsksAndDeletesOnlyOnOk) {
    NavigatorForm f(5);
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.ds->Open();
    f.click(nbNext);

    f.env.Dialogs.QueueAnswer(mrCancel);
    f.click(nbDelete);
    ASSERT_EQ(f.env.Dialogs.Boxes().size(), 1u);
    const TDialogBox box = f.env.Dialogs.Boxes()[0];
    EXPECT_EQ(box.kind, TDialogBox::MessageDlg);
    EXPECT_EQ(box.Text, "Delete record?");
    EXPECT_EQ(box.Type, mtConfirmation);
    EXPECT_EQ(box.Buttons, mbOK | mbCancel);
    EXPECT_EQ(f.ds->RecordCount(), 5);
    EXPECT_EQ(f.currentId(), 2);
    EXPECT_EQ(f.ds->ChangeCount(), 0);

    f.env.Dialogs.QueueAnswer(mrOk);
    f.click(nbDelete);
    EXPECT_EQ(f.env.Dialogs.Boxes().size(), 2u);
    EXPECT_EQ(f.ds->RecordCount(), 4);
    EXPECT_EQ(f.currentId(), 3);
    EXPECT_EQ(f.ds->ChangeCount(), 1);
}

TEST(DBNavigator, DeletingTheLastRowsLeavesOnlyInsertEnabled) {
    NavigatorForm f(2);
    f.ds->Open();
    f.navigator->BtnClick(nbDelete);
    f.navigator->BtnClick(nbDelete);
    EXPECT_TRUE(f.ds->IsEmpty());
    EXPECT_EQ(f.enabled(), "Insert");
    // A disabled button ignores the mouse: no question, nothing deleted.
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.env.Dialogs.Clear();
    f.click(nbDelete);
    EXPECT_TRUE(f.env.Dialogs.Boxes().empty());
}

TEST(DBNavigator, WithoutConfirmDeleteItDeletesAtOnce) {
    NavigatorForm f(3);
    f.navigator->SetConfirmDelete(false);
    f.ds->Open();
    f.navigator->BtnClick(nbDelete);
    EXPECT_TRUE(f.env.Dialogs.Boxes().empty());
    EXPECT_EQ(f.ds->RecordCount(), 2);
}

TEST(DBNavigator, ClickingAButtonLeavesTheFocusWhereItWas) {
    NavigatorForm f(5);
    int exits = 0;
    f.edit->OnExit = [&](TObject*) { ++exits; };
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.ds->Open();
    f.edit->SetFocus();
    ASSERT_TRUE(f.edit->Focused());
    f.click(nbNext);
    f.click(nbLast);
    QTest::mouseClick(f.navigator->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(f.currentId(), 5);
    EXPECT_TRUE(f.edit->Focused());
    EXPECT_EQ(f.form.ActiveControl(), f.edit);
    EXPECT_EQ(exits, 0);
}

TEST(DBNavigator, IsNoTabStop) {
    NavigatorForm f(5);
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.ds->Open();
    EXPECT_FALSE(f.navigator->TabStop());
    f.edit->SetFocus();
    guitest::PressKey(Qt::Key_Tab);
    EXPECT_TRUE(f.last->Focused()) << "Tab goes past the navigator";
    guitest::PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(f.edit->Focused());
}

TEST(DBNavigator, ShowsNoHintsUnlessAskedTo) {
    NavigatorForm f(5);
    EXPECT_FALSE(f.navigator->ShowHint());
    for (int i = 0; i < TDBNavigator::ButtonKinds; ++i)
        EXPECT_TRUE(f.navigator->Buttons(TNavigateBtn(i))->Widget()->toolTip().isEmpty()) << i;
    f.navigator->SetShowHint(true);
    EXPECT_EQ(f.navigator->Buttons(nbNext)->Widget()->toolTip(), QString("Next record"));
    EXPECT_EQ(f.navigator->Buttons(nbDelete)->Widget()->toolTip(), QString("Delete record"));
    f.navigator->SetShowHint(false);
    EXPECT_TRUE(f.navigator->Buttons(nbNext)->Widget()->toolTip().isEmpty());
}

TEST(DBNavigator, VisibleButtonsShareTheWidthEdgeToEdge) {
    NavigatorForm f(5);
    const std::vector<TRect> expected = {Bounds(0, 0, 43, 18),   Bounds(43, 0, 43, 18),
                                         Bounds(86, 0, 43, 18),  Bounds(129, 0, 44, 18),
                                         Bounds(173, 0, 43, 18), Bounds(216, 0, 43, 18),
                                         Bounds(259, 0, 44, 18)};
    std::vector<TRect> seen;
    for (TNavigateBtn b : kWindowButtons)
        seen.push_back(f.navigator->Buttons(b)->BoundsRect());
    EXPECT_EQ(seen, expected);
    for (TNavigateBtn b : {nbEdit, nbPost})
        EXPECT_FALSE(f.navigator->Buttons(b)->Visible()) << b;

    // Resizing lays them out again; all nine share a wider row.
    f.navigator->SetVisibleButtons(
        {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel});
    f.navigator->SetBounds(0, 0, 225, 25);
    for (int i = 0; i < TDBNavigator::ButtonKinds; ++i)
        EXPECT_EQ(f.navigator->Buttons(TNavigateBtn(i))->BoundsRect(), Bounds(25 * i, 0, 25, 25))
            << i;
}

TEST(DBNavigator, DisabledGlyphsAreGreyAndEnabledOnesBlack) {
    NavigatorForm f(5);
    f.ds->Open(); // First disabled, Next enabled
    // The glyph's area of the button's picture.
    auto picture = [&](TNavigateBtn b) {
        QWidget* w = f.navigator->Buttons(b)->Widget();
        QImage image(w->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        w->render(&image);
        return image.copy(f.navigator->Buttons(b)->GlyphRect().adjusted(0, 0, 1, 1));
    };
    auto count = [](const QImage& image, QColor colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += QColor(image.pixel(x, y)) == colour;
        return n;
    };
    QImage next = picture(nbNext), first = picture(nbFirst);
    EXPECT_GE(count(next, Qt::black), 16) << "a black triangle on the enabled button";
    EXPECT_EQ(count(first, Qt::black), 0);
    EXPECT_GE(count(first, ToQColor(clBtnShadow)), 16) << "a grey glyph on the disabled button";
}

TEST(DBNavigator, ARowThatCannotBePostedStaysInsertedUntilCancelled) {
    NavigatorForm f(3);
    f.form.Show();
    guitest::ShowActive(f.form.Widget());
    f.ds->Open();
    f.click(nbInsert);
    f.ds->FieldByName("NAME")->SetAsString("new");
    // Moving posts the changed row; the required ID is empty.
    f.click(nbNext);
    ASSERT_EQ(f.env.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(f.env.Dialogs.Boxes()[0].kind, TDialogBox::Exception);
    EXPECT_EQ(f.env.Dialogs.Boxes()[0].Text, "Field 'ID' must have a value.");
    EXPECT_EQ(f.ds->State(), dsInsert);
    EXPECT_TRUE(f.navigator->Buttons(nbCancel)->Enabled());
    f.click(nbCancel);
    EXPECT_EQ(f.ds->State(), dsBrowse);
    EXPECT_EQ(f.ds->RecordCount(), 3);
    EXPECT_EQ(f.ds->ChangeCount(), 0);
    EXPECT_EQ(f.currentId(), 1);
    EXPECT_FALSE(f.navigator->Buttons(nbCancel)->Enabled());
    EXPECT_TRUE(f.navigator->Buttons(nbInsert)->Enabled());
}
