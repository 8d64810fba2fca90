#include "GridDatabaseFixture.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "support/CompanyDatabase.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace gridtest {

std::vector<std::string> AdjustmentTableRows(int n) {
    std::vector<std::string> rows;
    for (int i = 1; i <= n; ++i) {
        const int month = i <= 31 ? 1 : 2;
        const int day = i <= 31 ? i : i - 31;
        char row[96];
        std::snprintf(row, sizeof row, "%d, '2024-%02d-%02d', '2024-03-31', %d, 0.8", i, month, day,
                      i);
        rows.emplace_back(row);
    }
    return rows;
}

TSQLConnection* NewCompanyConnection(TComponent* owner, const std::string& database) {
    auto* c = new TSQLConnection(owner);
    c->SetName("Talvero");
    c->SetConnectionName("Talvero");
    c->SetDriverName("Interbase");
    c->SetLibraryName("libfbdriver.so");
    c->SetGetDriverFunc("getSQLDriverINTERBASE");
    c->SetVendorLib("libfbclient.so.2");
    c->SetLoginPrompt(false);
    TStrings& p = c->Params();
    p.Add("Database=" + database);
    p.Add("User_Name=SYSDBA");
    p.Add("Password=masterkey");
    p.Add("SQLDialect=3");
    return c;
}

GridDatabaseForm::GridDatabaseForm(const std::vector<std::string>& rows,
                                   const std::function<TDBGrid*(TForm*)>& makeGrid)
    : Database(Folder.File("talvero.fdb")) {
    std::filesystem::copy_file(testsupport::CompanyDatabaseTemplate(), Database);
    {
        std::unique_ptr<TSQLConnection> writer(NewCompanyConnection(nullptr, Database));
        for (const std::string& row : rows)
            writer->Execute("insert into AJUSTE_CIERRE values (" + row + ")", TParams());
    }

    Form = new TForm(nullptr);
    Form->SetName("GridTestForm");
    Form->SetClientWidth(420);
    Form->SetClientHeight(260);
    Grid = makeGrid ? makeGrid(Form) : new TDBGrid(Form, Form);
    Grid->SetName("DBGrid2");
    Grid->SetBounds(8, 8, GridForm::GridWidth, GridForm::GridHeight);
    Grid->SetTabOrder(0);
    Other = new TEdit(Form);
    Other->SetName("Other");
    Other->SetParent(Form);
    Other->SetBounds(8, 200, 120, 21);
    Other->SetTabOrder(1);

    Connection = NewCompanyConnection(Form, Database);
    Table = new TSQLTable(Form);
    Table->SetName("TAjuste");
    Table->SetSQLConnection(Connection);
    Table->SetTableName("AJUSTE_CIERRE");
    Table->SetGetMetadata(false);
    Table->SetMaxBlobSize(-1);
    Provider = new TDataSetProvider(Form);
    Provider->SetName("PAjuste");
    Provider->SetDataSet(Table);
    Data = new TClientDataSet(Form);
    Data->SetName("CAjuste");
    Data->SetProviderName("PAjuste");
    Fields = CreateAdjustmentFields(Form, Data);
    Source = new TDataSource(Form);
    Source->SetName("DAjuste");
    Source->SetDataSet(Data);
    ConfigureAsDBGrid2(Grid, Source);
    Data->Open();
}

GridDatabaseForm::~GridDatabaseForm() {
    delete Form;
}

void GridDatabaseForm::Show() {
    guitest::ShowActive(Form->Widget());
    Grid->SetFocus();
    GridForm::Settle();
}

std::vector<std::string> GridDatabaseForm::Stored() {
    std::unique_ptr<TSQLConnection> reader(NewCompanyConnection(nullptr, Database));
    return testsupport::Rows(*reader, "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, "
                                      "AJCI_FACTOR from AJUSTE_CIERRE order by AJCI_ID");
}

std::string GridDatabaseForm::CurrentValues() const {
    std::string out;
    for (TField* f : std::initializer_list<TField*>{Fields.Id, Fields.FecIni, Fields.FecFin,
                                                    Fields.Porc, Fields.Factor}) {
        if (!out.empty()) out += "|";
        out += f->IsNull() ? "null" : f->AsString();
    }
    return out;
}

} // namespace gridtest
