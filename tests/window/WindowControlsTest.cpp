// The window as its form description builds it.

#include "WindowFixture.h"

#include <QDateEdit>
#include <QScreen>
#include <typeindex>

namespace {

struct ControlRow {
    const char* Name;
    std::type_index Class;
    const char* Parent;
    TRect Bounds; // labels: only Left and Top count
    const char* Text;
    bool Visible;
    int TabOrder; // -1: not a control that holds the focus
};

} // namespace

TEST_F(WindowTest, EveryControlHasItsClassParentGeometryTextVisibilityAndTabOrder) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    const ControlRow rows[] = {
        {"Panel2", typeid(TPanel), "fcontavtascontado", Bounds(0, 0, 346, 57), "", true, 3},
        {"Label2", typeid(TLabel), "Panel2", Bounds(16, 6, 333, 49),
         "Este programa genera la contabilización de las ventas diarias de un punto de venta "
         "registradas con el NIT del cliente de contado y con el prefijo y punto de venta "
         "especificados.",
         true, -1},
        {"GroupBox1", typeid(TGroupBox), "fcontavtascontado", Bounds(0, 57, 346, 105),
         "Origen:", true, 0},
        {"Label5", typeid(TLabel), "GroupBox1", Bounds(16, 16, 0, 0), "Servidor : ", true, -1},
        {"Label8", typeid(TLabel), "GroupBox1", Bounds(16, 40, 0, 0), "Usuario : ", true, -1},
        {"Label9", typeid(TLabel), "GroupBox1", Bounds(17, 64, 0, 0), "Clave : ", true, -1},
        {"Label6", typeid(TLabel), "GroupBox1", Bounds(17, 88, 0, 0), "Compañía:", true, -1},
        {"Servidor", typeid(TComboBox), "GroupBox1", Bounds(76, 8, 120, 21), "", true, 0},
        {"Tusua", typeid(TEdit), "GroupBox1", Bounds(76, 32, 97, 21), "", true, 1},
        {"TClave", typeid(TEdit), "GroupBox1", Bounds(76, 56, 97, 21), "", true, 2},
        {"Cia", typeid(TEdit), "GroupBox1", Bounds(76, 80, 45, 21), "", true, 3},
        {"GroupBox2", typeid(TGroupBox), "fcontavtascontado", Bounds(0, 162, 346, 70),
         "Parámetros ", true, 1},
        {"Label4", typeid(TLabel), "GroupBox2", Bounds(8, 24, 0, 0), "Desde:", true, -1},
        {"Label10", typeid(TLabel), "GroupBox2", Bounds(136, 23, 0, 0), "Hasta:", true, -1},
        {"Label11", typeid(TLabel), "GroupBox2", Bounds(136, 48, 0, 0), "Prefijo:", true, -1},
        {"EFecIni", typeid(TDateTimePicker), "GroupBox2", Bounds(45, 16, 89, 21), "20/01/2003",
         true, 0},
        {"EFecFin", typeid(TDateTimePicker), "GroupBox2", Bounds(173, 15, 89, 21), "20/01/2003",
         true, 1},
        {"Pref", typeid(TEdit), "GroupBox2", Bounds(173, 42, 49, 21), "", true, 2},
        {"Panel1", typeid(TPanel), "fcontavtascontado", Bounds(0, 232, 346, 52), "", true, 2},
        {"SpeedButton3", typeid(TSpeedButton), "Panel1", Bounds(61, 1, 65, 50), "F2: Ejecutar",
         true, -1},
        {"SpeedButton2", typeid(TSpeedButton), "Panel1", Bounds(237, 1, 65, 50), "Esc: Cancelar",
         true, -1},
        {"Panel5", typeid(TPanel), "fcontavtascontado", Bounds(8, 66, 337, 41),
         "Generando informe. espere un momento...", false, 4},
        {"CaptionPanel1", typeid(TCaptionPanel), "fcontavtascontado", Bounds(24, 72, 305, 169), "",
         false, 5},
    };
    // The form owns its controls in the order of the table.
    ASSERT_GE(w->ComponentCount(), int(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const ControlRow& r = rows[i];
        auto* c = dynamic_cast<TControl*>(w->Components(int(i)));
        ASSERT_NE(c, nullptr) << r.Name;
        EXPECT_EQ(c->Name(), r.Name);
        EXPECT_EQ(std::type_index(typeid(*c)), r.Class) << r.Name;
        ASSERT_NE(c->Parent(), nullptr) << r.Name;
        EXPECT_EQ(c->Parent()->Name(), r.Parent) << r.Name;
        EXPECT_EQ(c->Left(), r.Bounds.Left) << r.Name;
        EXPECT_EQ(c->Top(), r.Bounds.Top) << r.Name;
        if (r.Class == std::type_index(typeid(TLabel)) && r.Bounds.Width() == 0) {
            EXPECT_GT(c->Width(), 0) << r.Name << " sizes itself to its text";
            EXPECT_GT(c->Height(), 0) << r.Name;
        } else {
            EXPECT_EQ(c->BoundsRect(), r.Bounds) << r.Name;
        }
        EXPECT_EQ(c->Text(), r.Text) << r.Name;
        EXPECT_EQ(c->Visible(), r.Visible) << r.Name;
        auto* wc = dynamic_cast<TWinControl*>(c);
        EXPECT_EQ(wc ? wc->TabOrder() : -1, r.TabOrder) << r.Name;
        EXPECT_EQ(w->FindComponent(r.Name), c);
    }
    EXPECT_EQ(w->CaptionPanel1->Caption().Text(), "Tarifas");
}

TEST_F(WindowTest, WindowPropertiesAndControlSettings) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(w->Caption(), "Contabilizar ventas de contado");
    EXPECT_EQ(w->Widget()->windowTitle(), QString::fromUtf8("Contabilizar ventas de contado"));
    EXPECT_EQ(w->ClientWidth(), 346);
    EXPECT_EQ(w->ClientHeight(), 284);
    EXPECT_TRUE(w->KeyPreview());
    EXPECT_EQ(w->Position(), poDesktopCenter);
    EXPECT_EQ(w->Color(), clBtnFace);
    EXPECT_EQ(w->Font(), TFont("MS Sans Serif", -11, clWindowText));
    EXPECT_EQ(w->Widget()->font().pixelSize(), 11);

    EXPECT_EQ(w->Servidor->Style(), csDropDownList);
    EXPECT_EQ(w->Servidor->BevelKind(), bkFlat);
    EXPECT_EQ(w->Servidor->ItemHeight(), 13);
    for (TEdit* e : {w->Tusua, w->TClave, w->Cia, w->Pref}) {
        EXPECT_EQ(e->BevelKind(), bkFlat) << e->Name();
        EXPECT_EQ(e->BorderStyle(), bsNone) << e->Name();
        EXPECT_EQ(e->PasswordChar(), e == w->TClave ? '*' : 0) << e->Name();
    }
    EXPECT_EQ(static_cast<QLineEdit*>(w->TClave->Widget())->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(w->Label2->AutoSize());
    EXPECT_TRUE(w->Label2->WordWrap());
    EXPECT_TRUE(w->Panel1->AutoSize());
    EXPECT_EQ(w->Panel1->Align(), alBottom);
    EXPECT_EQ(w->GroupBox2->Align(), alClient);

    // The pickers start at 20 January 2003 06:44:23.
    for (TDateTimePicker* p : {w->EFecIni, w->EFecFin}) {
        EXPECT_DOUBLE_EQ(p->DateTime().Val(), 37641.280825) << p->Name();
        EXPECT_EQ(static_cast<QDateEdit*>(p->Widget())->date(), QDate(2003, 1, 20));
    }

    // The run button starts disabled; both buttons are flat, glyph above
    // the caption, in Arial Narrow.
    EXPECT_FALSE(w->SpeedButton3->Enabled());
    EXPECT_TRUE(w->SpeedButton2->Enabled());
    for (TSpeedButton* b : {w->SpeedButton3, w->SpeedButton2}) {
        EXPECT_TRUE(b->Flat()) << b->Name();
        EXPECT_EQ(b->Layout(), blGlyphTop) << b->Name();
        EXPECT_EQ(b->Spacing(), 0) << b->Name();
        EXPECT_EQ(b->Font(), TFont("Arial Narrow", -11, clWindowText)) << b->Name();
        EXPECT_EQ(b->Glyph().size(), QSize(46, 32)) << b->Name();
        // The glyph sits above the caption, centred.
        QRect glyph = b->GlyphRect(), caption = b->CaptionRect();
        EXPECT_EQ(glyph.left(), 10) << b->Name();
        EXPECT_LE(glyph.bottom(), caption.top()) << b->Name();
    }

    // The progress panel: lowered inner bevel, navy 10-point font.
    EXPECT_EQ(w->Panel5->BevelInner(), bvLowered);
    EXPECT_EQ(w->Panel5->BevelOuter(), bvRaised);
    EXPECT_EQ(w->Panel5->Font(), TFont("MS Sans Serif", -13, clNavy));
    EXPECT_EQ(w->Panel5->Font().Size(), 10);

    // The tariff panel lies above the progress panel, which lies above the rest.
    QObjectList children = w->Widget()->children();
    auto place = [&](TControl* c) { return children.indexOf(c->Widget()); };
    EXPECT_GT(place(w->CaptionPanel1), place(w->Panel5));
    EXPECT_GT(place(w->Panel5), place(w->Panel1));
    EXPECT_GT(place(w->Panel5), place(w->GroupBox2));
}

TEST_F(WindowTest, TheGlyphsAreTheImagesOfTheResources) {
    for (const char* name : {":/glyphs/ejecutar.png", ":/glyphs/cancelar.png"}) {
        pointSettingsAtInstallation();
        Tfcontavtascontado* w = createWindow();
        QImage image(QString::fromLatin1(name));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.size(), QSize(46, 32));
        EXPECT_EQ(image.depth() >= 24, true);
        EXPECT_EQ(QColor(image.pixel(0, 31)), QColor(224, 223, 227)) << name;
        EXPECT_EQ(QColor(image.pixel(45, 0)), QColor(224, 223, 227)) << name;
        // The ground is the transparent colour; the drawing is green or red.
        const QImage& glyph = std::string(name).find("ejecutar") != std::string::npos
                                  ? w->SpeedButton3->Glyph()
                                  : w->SpeedButton2->Glyph();
        EXPECT_EQ(qAlpha(glyph.pixel(0, 31)), 0) << name;
        int green = 0, red = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 46; ++x) {
                QColor c(image.pixel(x, y));
                green += c.green() > 150 && c.red() < 100;
                red += c.red() > 180 && c.green() < 60;
            }
        if (std::string(name).find("ejecutar") != std::string::npos)
            EXPECT_GT(green, 80);
        else
            EXPECT_GT(red, 80);
        app.reset();
    }
}

TEST_F(WindowTest, ShownTheWindowIsCentredOnTheDesktopWithTheFirstFieldFocused) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    QRect desktop = w->Widget()->screen()->virtualGeometry();
    QRect frame = w->Widget()->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - desktop.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - desktop.center().y()), 1);
    EXPECT_EQ(w->Widget()->size(), QSize(346, 284));
    QWidget* f = QApplication::focusWidget();
    EXPECT_TRUE(w->Servidor->Focused()) << (f ? f->metaObject()->className() : "none") << " "
                                        << (f ? f->objectName().toStdString() : "") << " active "
                                        << (w->ActiveControl() ? w->ActiveControl()->Name() : "-");
    EXPECT_FALSE(w->Panel5->Showing());
    EXPECT_FALSE(w->CaptionPanel1->Showing());
}

// The form description gives pixels at 96 per inch; on a screen of 120 the
// window is scaled when it loads, the tariff panel's caption band with it.
TEST_F(WindowTest, OnAScreenOf120PixelsPerInchTheWindowLoadsScaled) {
    pointSettingsAtInstallation();
    struct Resolution {
        Resolution() { SetScreenPixelsPerInch(120); }
        ~Resolution() { SetScreenPixelsPerInch(0); }
    } resolution;
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(w->ClientWidth(), 433);
    EXPECT_EQ(w->ClientHeight(), 355);
    EXPECT_EQ(w->Font().Size(), 10);
    EXPECT_EQ(w->Cia->BoundsRect(), Bounds(95, 100, 56, 26));
    EXPECT_EQ(w->CaptionPanel1->BoundsRect(), Bounds(30, 90, 381, 211));
    EXPECT_EQ(w->CaptionPanel1->Caption().Height(), 25);
    // The grid fills the area below the band, above the navigator.
    EXPECT_EQ(w->DBGrid2->Top(), 24);
    EXPECT_EQ(w->DBGrid2->Top() + w->DBGrid2->Height(), w->DBNavigator1->Top());
}

TEST_F(WindowTest, OnAScreenOf96PixelsPerInchTheWindowKeepsItsDesignedSizes) {
    pointSettingsAtInstallation();
    struct Resolution {
        Resolution() { SetScreenPixelsPerInch(96); }
        ~Resolution() { SetScreenPixelsPerInch(0); }
    } resolution;
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(w->ClientWidth(), 346);
    EXPECT_EQ(w->CaptionPanel1->Caption().Height(), 20);
    EXPECT_EQ(w->DBGrid2->BoundsRect(), Bounds(1, 19, 303, 131));
}
