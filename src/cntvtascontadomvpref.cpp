#include "cntvtascontadomvpref.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/widgets/TRegistry.h"
#include "platform/widgets/VirtualKeys.h"

#include <QImage>

#include <cstring>

Tfcontavtascontado* fcontavtascontado = nullptr;

// The glyphs live in the window's library; a static library's resources
// must be registered by code that is linked.
static void registrarGlifos() {
    Q_INIT_RESOURCE(glyphs);
}

namespace {

void configurarBotonRapido(TSpeedButton* b, const char* glifo) {
    b->SetFlat(true);
    b->SetFont(TFont("Arial Narrow", -11, clWindowText));
    b->SetLayout(blGlyphTop);
    b->SetSpacing(0);
    b->SetGlyph(QImage(QString::fromLatin1(glifo)));
}

void configurarCampo(TEdit* e) {
    e->SetBevelKind(bkFlat);
    e->SetBorderStyle(bsNone);
}

} // namespace

Tfcontavtascontado::Tfcontavtascontado(TComponent* Owner) : TForm(Owner) {
    registrarGlifos();
    CrearComponentes();
    DoCreate();
}

Tfcontavtascontado::~Tfcontavtascontado() = default;

void Tfcontavtascontado::CrearComponentes() {
    BeginLoad();
    SetName("fcontavtascontado");
    SetCaption("Contabilizar ventas de contado");
    SetClientWidth(346);
    SetClientHeight(284);
    SetPosition(poDesktopCenter);
    SetColor(clBtnFace);
    SetFont(TFont("MS Sans Serif", -11, clWindowText));
    SetKeyPreview(true);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    auto enteratab = [this](TObject* s, char& k) { Enteratab(s, k); };

    Panel2 = crear<TPanel>(this, "Panel2", this);
    Panel2->SetBounds(0, 0, 346, 57);
    Panel2->SetAlign(alTop);
    Panel2->SetCaption("");
    Panel2->SetTabOrder(3);

    Label2 = crear<TLabel>(this, "Label2", Panel2);
    Label2->SetAutoSize(false);
    Label2->SetBounds(16, 6, 333, 49);
    Label2->SetWordWrap(true);
    Label2->SetCaption("Este programa genera la contabilización de las ventas diarias de un punto "
                       "de venta registradas con el NIT del cliente de contado y con el prefijo y "
                       "punto de venta especificados.");

    GroupBox1 = crear<TGroupBox>(this, "GroupBox1", this);
    GroupBox1->SetBounds(0, 57, 346, 105);
    GroupBox1->SetAlign(alTop);
    GroupBox1->SetCaption("Origen:");
    GroupBox1->SetTabOrder(0);

    Label5 = crear<TLabel>(this, "Label5", GroupBox1);
    Label5->SetBounds(16, 16, 0, 0);
    Label5->SetCaption("Servidor : ");
    Label8 = crear<TLabel>(this, "Label8", GroupBox1);
    Label8->SetBounds(16, 40, 0, 0);
    Label8->SetCaption("Usuario : ");
    Label9 = crear<TLabel>(this, "Label9", GroupBox1);
    Label9->SetBounds(17, 64, 0, 0);
    Label9->SetCaption("Clave : ");
    Label6 = crear<TLabel>(this, "Label6", GroupBox1);
    Label6->SetBounds(17, 88, 0, 0);
    Label6->SetCaption("Compañía:");

    Servidor = crear<TComboBox>(this, "Servidor", GroupBox1);
    Servidor->SetBounds(76, 8, 120, 21);
    Servidor->SetStyle(csDropDownList);
    Servidor->SetBevelKind(bkFlat);
    Servidor->SetItemHeight(13);
    Servidor->SetTabOrder(0);
    Servidor->OnKeyPress = enteratab;

    Tusua = crear<TEdit>(this, "Tusua", GroupBox1);
    Tusua->SetBounds(76, 32, 97, 21);
    configurarCampo(Tusua);
    Tusua->SetTabOrder(1);
    Tusua->OnKeyPress = enteratab;

    TClave = crear<TEdit>(this, "TClave", GroupBox1);
    TClave->SetBounds(76, 56, 97, 21);
    configurarCampo(TClave);
    TClave->SetPasswordChar('*');
    TClave->SetTabOrder(2);
    TClave->OnKeyPress = enteratab;

    Cia = crear<TEdit>(this, "Cia", GroupBox1);
    Cia->SetBounds(76, 80, 45, 21);
    configurarCampo(Cia);
    Cia->SetTabOrder(3);
    Cia->OnKeyPress = enteratab;
    Cia->OnExit = [this](TObject* s) { CiaExit(s); };

    GroupBox2 = crear<TGroupBox>(this, "GroupBox2", this);
    GroupBox2->SetBounds(0, 162, 346, 70);
    GroupBox2->SetAlign(alClient);
    GroupBox2->SetCaption("Parámetros ");
    GroupBox2->SetTabOrder(1);

    Label4 = crear<TLabel>(this, "Label4", GroupBox2);
    Label4->SetBounds(8, 24, 0, 0);
    Label4->SetCaption("Desde:");
    Label10 = crear<TLabel>(this, "Label10", GroupBox2);
    Label10->SetBounds(136, 23, 0, 0);
    Label10->SetCaption("Hasta:");
    Label11 = crear<TLabel>(this, "Label11", GroupBox2);
    Label11->SetBounds(136, 48, 0, 0);
    Label11->SetCaption("Prefijo:");

    // Both pickers start at 20 January 2003 06:44:23 until a connection sets
    // them to today.
    const TDateTime fechaInicial(37641.280825);
    EFecIni = crear<TDateTimePicker>(this, "EFecIni", GroupBox2);
    EFecIni->SetBounds(45, 16, 89, 21);
    EFecIni->SetDateTime(fechaInicial);
    EFecIni->SetTabOrder(0);
    EFecIni->OnKeyPress = enteratab;

    EFecFin = crear<TDateTimePicker>(this, "EFecFin", GroupBox2);
    EFecFin->SetBounds(173, 15, 89, 21);
    EFecFin->SetDateTime(fechaInicial);
    EFecFin->SetTabOrder(1);
    EFecFin->OnKeyPress = enteratab;

    Pref = crear<TEdit>(this, "Pref", GroupBox2);
    Pref->SetBounds(173, 42, 49, 21);
    configurarCampo(Pref);
    Pref->SetTabOrder(2);
    // No Enter handling; leaving the prefix connects again.
    Pref->OnExit = [this](TObject* s) { CiaExit(s); };

    Panel1 = crear<TPanel>(this, "Panel1", this);
    Panel1->SetBounds(0, 232, 346, 52);
    Panel1->SetAlign(alBottom);
    Panel1->SetAutoSize(true);
    Panel1->SetCaption("");
    Panel1->SetTabOrder(2);

    SpeedButton3 = crear<TSpeedButton>(this, "SpeedButton3", Panel1);
    SpeedButton3->SetBounds(61, 1, 65, 50);
    SpeedButton3->SetCaption("F2: Ejecutar");
    SpeedButton3->SetEnabled(false);
    configurarBotonRapido(SpeedButton3, ":/glyphs/ejecutar.png");
    SpeedButton3->OnClick = [this](TObject* s) { SpeedButton3Click(s); };

    SpeedButton2 = crear<TSpeedButton>(this, "SpeedButton2", Panel1);
    SpeedButton2->SetBounds(237, 1, 65, 50);
    SpeedButton2->SetCaption("Esc: Cancelar");
    configurarBotonRapido(SpeedButton2, ":/glyphs/cancelar.png");
    SpeedButton2->OnClick = [this](TObject* s) { SpeedButton2Click(s); };

    // The progress panel and the tariff panel come last, so that they lie
    // above the other controls, the tariff panel on top.
    Panel5 = crear<TPanel>(this, "Panel5", this);
    Panel5->SetBounds(8, 66, 337, 41);
    Panel5->SetCaption("Generando informe. espere un momento...");
    Panel5->SetVisible(false);
    Panel5->SetBevelInner(bvLowered);
    Panel5->SetFont(TFont("MS Sans Serif", -13, clNavy));
    Panel5->SetTabOrder(4);

    CaptionPanel1 = crear<TCaptionPanel>(this, "CaptionPanel1", this);
    CaptionPanel1->SetBounds(24, 72, 305, 169);
    CaptionPanel1->SetVisible(false);
    CaptionPanel1->SetTabOrder(5);
    CaptionPanel1->Caption().SetVisible(true);
    CaptionPanel1->Caption().SetText("Tarifas");
    CaptionPanel1->Caption().SetHeight(20);
    CaptionPanel1->Caption().SetColor(clHighlight);
    CaptionPanel1->Caption().SetFont(TFont("MS Sans Serif", -11, clHighlightText));
    CrearEditorAjuste();

    CrearComponentesDatos();
    // References to components made later are resolved once all exist.
    DBGrid2->SetDataSource(DAjuste);
    DBNavigator1->SetDataSource(DAjuste);

    EndLoad();
}

void Tfcontavtascontado::FormCreate(TObject* Sender) {
    ConfigurarProviders(this);
    FServidores = std::make_unique<TStringList>();
    std::string directorio;
    diraplicacion(directorio);
    FArchivoServidores = directorio + "\\SERVIDORES.cfg";
    LeerServidores(FArchivoServidores, *FServidores);
    Servidor->SetItems(*FServidores);
    Servidor->SetItemIndex(0);
}

const TStrings& Tfcontavtascontado::Servidores() const {
    static const TStringList ninguno;
    return FServidores ? *FServidores : ninguno;
}

void Tfcontavtascontado::diraplicacion(std::string& Directorio) {
    TRegistry registro(KEY_READ);
    registro.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registro.OpenKey("\\Software\\Quelt\\TalveroERP2016", false)) {
        Directorio = registro.ReadString("Directorio");
    } else {
        ShowMessage("No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\Quelt\\TalveroERP2016"
                    "\\Directorio");
        Directorio = "";
    }
}

void Tfcontavtascontado::LeerServidores(const std::string& Archivo, TStrings& Lista) {
    int archivo = FileOpen(Archivo, fmOpenRead);
    if (archivo <= 0) return;
    const int64_t tamano = FileSeek(archivo, 0, 2);
    FileSeek(archivo, 0, 0);

    // 255 characters and the terminator.
    char linea[256];
    size_t largo = 0;
    int64_t leidos = 0;
    while (leidos < tamano) {
        unsigned char byte;
        if (FileRead(archivo, &byte, 1) != 1) break;
        ++leidos;
        if (byte == 13 || byte == 10) {
            linea[largo] = '\0';
            // A NUL ends the entry's text.
            Lista.Add(Win1252ToUtf8(std::string_view(linea, std::strlen(linea))));
            largo = 0;
            if (byte == 13) {
                // CR always takes the next byte with it, whatever it is.
                unsigned char descartado;
                FileRead(archivo, &descartado, 1);
                ++leidos;
            }
        } else if (largo < sizeof linea - 1) {
            linea[largo++] = static_cast<char>(byte);
        }
        // Characters past the 255th are dropped up to the line end.
    }
    FileClose(archivo);
}

void Tfcontavtascontado::Enteratab(TObject* Sender, char& Key) {
    if (Key == VK_RETURN) {
        Key = 0;
        Perform(WM_NEXTDLGCTL, 0, 0);
    }
}

void Tfcontavtascontado::FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift) {
    // Mouse-button and double-click flags do not count.
    if (Shift & (ssShift | ssAlt | ssCtrl)) return;
    if (Key == VK_F2) {
        if (CaptionPanel1->Visible()) GuardarAjuste();
        SpeedButton3Click(this);
    }
    if (Key == VK_F5) AbrirCerrarAjuste();
    if (Key == VK_ESCAPE) SpeedButton2Click(this);
}

void Tfcontavtascontado::SpeedButton2Click(TObject* Sender) {
    Close();
}

void Tfcontavtascontado::FormClose(TObject* Sender, TCloseAction& Action) {
    CRepArticulos->Close();
    Action = caFree;
}
