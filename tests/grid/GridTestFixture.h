#pragma once
// The grid tests' form: the data grid configured as the closing-adjustment
// editor configures DBGrid2 (options, title font, four persistent columns),
// showing a client dataset with the editor's persistent fields, fed real
// packets by a provider. Beside the grid an edit field takes the focus when
// a test moves it away. Pictures are grabbed from the grid's widget, or read
// back from what the window's backing store holds.

#include "data/ClientDataSetFixtures.h"
#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "grid/TDBGrid.h"
#include "platform/widgets/GuiTestHelpers.h"
#include "platform/widgets/TEdit.h"
#include "platform/widgets/TForm.h"

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

namespace gridtest {

using fixtures::Row;

// n rows of the adjustment table: AJCI_ID i, the period from 1 to 28
// January 2024 counting up (day i), the rate i x 4 % and the factor 0.8.
std::vector<Row> AdjustmentRows(int n);

// The closing-adjustment table's persistent fields as the window declares
// them (AJCI_ID required, the labels, precision 15 and 4 decimals), owned by
// owner and bound to data.
struct AdjustmentFieldSet {
    TIntegerField* Id = nullptr;
    TDateField* FecIni = nullptr;
    TDateField* FecFin = nullptr;
    TFMTBCDField* Porc = nullptr;
    TFMTBCDField* Factor = nullptr;
};
AdjustmentFieldSet CreateAdjustmentFields(TComponent* owner, TClientDataSet* data);

// The grid set as the window's form description sets DBGrid2, on source:
// the extended options, the indicator, the title font and the four
// persistent columns titled as the window shows them.
void ConfigureAsDBGrid2(TDBGrid* grid, TDataSource* source);

// A grid painted afresh, and one of its cells in the widget's coordinates.
QImage GridShot(const TDBGrid* grid);
QRect CellOnWidget(const TDBGrid* grid, int col, int row);

class GridForm {
public:
    // The grid at the window's size, 303 x 131.
    static constexpr int GridWidth = 303;
    static constexpr int GridHeight = 131;

    explicit GridForm(std::vector<Row> rows = AdjustmentRows(3), bool open = true);
    ~GridForm();
    GridForm(const GridForm&) = delete;
    GridForm& operator=(const GridForm&) = delete;

    // Shows the form as the active window with the grid focused.
    void Show();
    // Pending paints and other events done.
    static void Settle();

    // The grid painted afresh, and what the screen shows of it now.
    QImage Shot() const;
    QImage OnScreen() const;
    // Saves a picture under the build folder (grid-shots/<name>.png) for a
    // person to look at.
    static void Save(const QImage& image, const std::string& name);

    // A cell of the grid in the widget's coordinates (what Shot() shows).
    QRect CellOnWidget(int col, int row) const;
    // The part of a rectangle of the widget inside the client area, which
    // the border and the scroll bars do not cover.
    QRect Visible(const QRect& area) const;

    guitest::DialogAndSettings Env;
    TForm* Form = nullptr;
    TEdit* Other = nullptr;
    TDBGrid* Grid = nullptr;
    fixtures::TPacketProvider* Provider = nullptr;
    TClientDataSet* Data = nullptr;
    TDataSource* Source = nullptr;
    TIntegerField* Id = nullptr;
    TDateField* FecIni = nullptr;
    TDateField* FecFin = nullptr;
    TFMTBCDField* Porc = nullptr;
    TFMTBCDField* Factor = nullptr;
};

// Colours as the pictures hold them.
QRgb Rgb(TColor color);
bool IsDark(QRgb pixel);
// The pixels of a rectangle of the image that are not the given colour: the
// bounding box, empty when every pixel is that colour.
QRect InkBounds(const QImage& image, const QRect& area, QRgb background);
int CountDark(const QImage& image, const QRect& area);
// Text drawn by Qt alone in a font, on a background: a picture of size
// size with the text's top-left at (x, y).
QImage ReferenceText(QSize size, QRgb background, const std::string& text, const TFont& font,
                     TColor color, int x, int y);
// The part of an image, for comparing two pictures of one cell.
QImage Part(const QImage& image, const QRect& area);

} // namespace gridtest
