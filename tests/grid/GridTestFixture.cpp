#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "platform/DateUtils.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace gridtest {

std::vector<Row> AdjustmentRows(int n) {
    std::vector<Row> rows;
    for (int i = 1; i <= n; ++i) {
        const TDateTime day = EncodeDate(2024, 1, 1 + (i - 1) % 28);
        rows.push_back(
            fixtures::AdjustmentRow(i, day, EncodeDate(2024, 1, 31), int64_t(i) * 40000, 8000));
    }
    return rows;
}

AdjustmentFieldSet CreateAdjustmentFields(TComponent* owner, TClientDataSet* data) {
    AdjustmentFieldSet f;
    f.Id = new TIntegerField(owner);
    f.Id->SetFieldName("AJCI_ID");
    f.Id->SetRequired(true);
    f.FecIni = new TDateField(owner);
    f.FecIni->SetFieldName("AJCI_FECINI");
    f.FecIni->SetDisplayLabel("F.Desde");
    f.FecFin = new TDateField(owner);
    f.FecFin->SetFieldName("AJCI_FECFIN");
    f.FecFin->SetDisplayLabel("F.Hasta");
    f.Porc = new TFMTBCDField(owner);
    f.Porc->SetFieldName("AJCI_PORC");
    f.Porc->SetDisplayLabel("Porc");
    f.Factor = new TFMTBCDField(owner);
    f.Factor->SetFieldName("AJCI_FACTOR");
    f.Factor->SetDisplayLabel("Factor");
    for (TFMTBCDField* b : {f.Porc, f.Factor}) {
        b->SetPrecision(15);
        b->SetSize(4);
    }
    for (TField* field : std::initializer_list<TField*>{f.Id, f.FecIni, f.FecFin, f.Porc, f.Factor})
        field->SetDataSet(data);
    return f;
}

void ConfigureAsDBGrid2(TDBGrid* grid, TDataSource* source) {
    grid->SetDataSource(source);
    grid->SetOptionsEx({dghFixed3D, dghHighlightFocus, dghClearSelection, dghEnterAsTab,
                        dghIncSearch, dghDialogFind, dghColumnResize, dghColumnMove,
                        dghExtendVertLines});
    grid->SetIndicatorOptions({gioShowRowIndicator});
    grid->SetFlat(false);
    grid->SetTitleFont(TFont("MS Sans Serif", -11, clWindowText));
    const char* const columns[][2] = {{"AJCI_FECINI", "F.Desde"},
                                      {"AJCI_FECFIN", "F.Hasta"},
                                      {"AJCI_PORC", "Porc"},
                                      {"AJCI_FACTOR", "Factor"}};
    for (const auto& c : columns) {
        TDBGridColumn* column = grid->Columns().Add();
        column->SetFieldName(c[0]);
        column->Title().SetCaption(c[1]);
    }
}

GridForm::GridForm(std::vector<Row> rows, bool open) {
    Form = new TForm(nullptr);
    Form->SetName("GridTestForm");
    Form->SetClientWidth(420);
    Form->SetClientHeight(260);

    Grid = new TDBGrid(Form, Form);
    Grid->SetName("DBGrid2");
    Grid->SetBounds(8, 8, GridWidth, GridHeight);
    Grid->SetTabOrder(0);
    Other = new TEdit(Form);
    Other->SetName("Other");
    Other->SetParent(Form);
    Other->SetBounds(8, 200, 120, 21);
    Other->SetTabOrder(1);

    Provider = new fixtures::TPacketProvider(Form, "PAjuste", fixtures::AdjustmentFields(),
                                             std::move(rows));
    Data = new TClientDataSet(Form);
    Data->SetName("CAjuste");
    Data->SetProviderName("PAjuste");
    const AdjustmentFieldSet fields = CreateAdjustmentFields(Form, Data);
    Id = fields.Id;
    FecIni = fields.FecIni;
    FecFin = fields.FecFin;
    Porc = fields.Porc;
    Factor = fields.Factor;
    Source = new TDataSource(Form);
    Source->SetName("DAjuste");
    Source->SetDataSet(Data);
    ConfigureAsDBGrid2(Grid, Source);
    if (open) Data->Open();
}

GridForm::~GridForm() {
    delete Form;
}

void GridForm::Show() {
    guitest::ShowActive(Form->Widget());
    Grid->SetFocus();
    Settle();
}

void GridForm::Settle() {
    QApplication::processEvents();
    QApplication::processEvents();
}

QImage GridShot(const TDBGrid* grid) {
    return grid->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect CellOnWidget(const TDBGrid* grid, int col, int row) {
    const TRect r = grid->CellRect(col, row);
    const TPoint o = grid->ClientOrigin();
    return QRect(r.Left + o.X, r.Top + o.Y, r.Width(), r.Height());
}

QImage GridForm::Shot() const {
    return GridShot(Grid);
}

QImage GridForm::OnScreen() const {
    Settle();
    QWidget* window = Form->Widget();
    const QPoint at = Grid->Widget()->mapTo(window, QPoint(0, 0));
    QScreen* screen = window->screen();
    return screen
        ->grabWindow(window->winId(), at.x(), at.y(), Grid->Widget()->width(),
                     Grid->Widget()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

void GridForm::Save(const QImage& image, const std::string& name) {
    const QString folder = QString::fromStdString(testsupport::BinaryDir() + "/grid-shots");
    QDir().mkpath(folder);
    const QString base = folder + "/" + QString::fromStdString(name);
    image.save(base + ".png");
    // Three times as large, pixel for pixel, for a closer look.
    image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(base + "-x3.png");
}

QRect GridForm::CellOnWidget(int col, int row) const {
    return gridtest::CellOnWidget(Grid, col, row);
}

QRect GridForm::Visible(const QRect& area) const {
    const TPoint o = Grid->ClientOrigin();
    const TRect c = Grid->ClientRect();
    return area.intersected(QRect(o.X, o.Y, c.Width(), c.Height()));
}

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

QRect InkBounds(const QImage& image, const QRect& area, QRgb background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u))
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountDark(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += IsDark(image.pixel(x, y));
    return n;
}

QImage ReferenceText(QSize size, QRgb background, const std::string& text, const TFont& font,
                     TColor color, int x, int y) {
    // A pixmap, as the grid's pictures are grabbed into one: the same
    // rendering of the glyphs.
    QPixmap pixmap(size);
    pixmap.fill(QColor::fromRgb(background));
    QPainter p(&pixmap);
    const QFont f = ToQFont(font);
    p.setFont(f);
    p.setPen(ToQColor(color));
    p.drawText(x, y + QFontMetrics(f).ascent(), QString::fromStdString(text));
    p.end();
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Part(const QImage& image, const QRect& area) {
    return image.copy(area).convertToFormat(QImage::Format_RGB32);
}

} // namespace gridtest
