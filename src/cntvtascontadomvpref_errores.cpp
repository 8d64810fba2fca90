// Error reporting: every database error the error events see is logged to
// ERRORES.TXT in the installation directory, answered with abort and shown
// to the user, in Spanish where the English message is a known one.

#include "cntvtascontadomvpref.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <filesystem>
#include <system_error>

namespace {

// True only when the file is known not to exist; a path that cannot even be
// looked at counts as existing, so that it is never created over.
bool noExiste(const std::string& path) {
    std::error_code ec;
    const bool existe = std::filesystem::exists(std::filesystem::path(NativePath(path)), ec);
    return !existe && !ec;
}

} // namespace

// One record per error: date, time, user and message separated by commas,
// nothing escaped, CR LF at the end, in Windows-1252. The log is made by the
// first error and appended to afterwards. An existing log that cannot be
// opened for reading (locked, or readable by nobody) is never created anew,
// which would empty it: the record is appended when the file lets us write,
// and dropped otherwise. Every failure only loses the record.
void Tfcontavtascontado::registrarError(const std::string& Message) {
    std::string directorio;
    diraplicacion(directorio);
    const std::string archivo = directorio + "\\ERRORES.TXT";

    TTextFile log;
    log.Assign(archivo);
    log.Reset();
    log.Close();
    if (log.IOResult() != 0 && noExiste(archivo))
        log.Rewrite();
    else
        log.Append();
    log.WriteLn(Utf8ToWin1252(DateToStr(Date()) + "," + TimeToStr(Time()) + "," + Tusua->Text() +
                              "," + Message));
    log.Close();
    log.IOResult();
}

void Tfcontavtascontado::ManejarError(TObject* Sender, TDataSet* DataSet, EDatabaseError& E,
                                      TUpdateKind UpdateKind, TResolverResponse& Response) {
    const std::string& M = E.Message;
    if (M == "Connection Closed Gracefully.") return;
    registrarError(M);
    Response = rrAbort;

    std::string texto = M;
    if (Sender) {
        // The dataset's name without its role letter names the table.
        std::string tabla;
        if (auto* provider = dynamic_cast<TDataSetProvider*>(Sender))
            if (provider->DataSet()) tabla = Copy(provider->DataSet()->Name(), 2, SIZE_MAX);
        const std::string violacion = Copy(M, 19, 20);
        if (violacion == "violation of PRIMARY")
            texto = "Ya existe el registro en la tabla " + tabla;
        else if (violacion == "violation of FOREIGN")
            texto = "Está borrando o insertando un registro en la tabla " + tabla +
                    " que tiene una relación con otra tabla.";
    } else {
        mostrar_advertencia((DataSet ? DataSet->Name() : std::string()) + ": " + M);
        if (Copy(M, 1, 30) == "Cannot delete master record wi")
            texto = "Error. Borre antes los detalles dependientes del registro.";
        if (Copy(M, 1, 3) == "Fie") {
            texto = "Los campos ";
            for (int i = 0; DataSet && i < DataSet->FieldCount(); ++i) {
                TField* f = DataSet->Fields(i);
                if (f->Required() && f->IsNull()) texto += f->FieldName() + ", ";
            }
            texto += " son obligatorios.";
        } else if (Copy(M, 1, 3) == "key") {
            texto = "Ya existe un registro con el mismo ";
            for (int i = 0; DataSet && i < DataSet->FieldCount(); ++i) {
                TField* f = DataSet->Fields(i);
                if (f->IsIndexField()) texto += f->FieldName() + " ";
            }
        }
    }
    Beep();
    MessageDlg(texto, mtError, mbOK, 0);
}

void Tfcontavtascontado::ManejarClientError(TDataSet* DataSet, EDatabaseError& E,
                                            TDataAction& Action) {
    // Abort first: the framework then ends the operation silently, and the
    // user sees only the box below.
    Action = daAbort;
    TResolverResponse respuesta = rrSkip;
    ManejarError(nullptr, DataSet, E, ukModify, respuesta);
}

void Tfcontavtascontado::mostrar_advertencia(const std::string& Text) {
    Beep();
    Panel5->SetCaption(Text);
}
