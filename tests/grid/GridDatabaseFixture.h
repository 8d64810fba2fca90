#pragma once
// The grid over a real database, as the closing-adjustment editor has it:
// DBGrid2's settings on CAjuste, a client dataset whose provider reads the
// table AJUSTE_CIERRE through a table dataset on an embedded Firebird
// connection, in a company database copied from one made with db/. The
// table holds the rows a test gives; the grid's keys are sent as a keyboard
// sends them, to whatever holds the focus.

#include "GridTestFixture.h"

#include "data/TDataSetProvider.h"
#include "data/TSQLConnection.h"
#include "data/TSQLTable.h"
#include "support/TestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace gridtest {

// Rows of AJUSTE_CIERRE as SQL values "id, 'fecini', 'fecfin', porc, factor".
// n rows: AJCI_ID i, the period from i January 2024 (day i, counting on
// into February after 31) to 31 March 2024, the rate i and the factor 0.8.
std::vector<std::string> AdjustmentTableRows(int n);

class GridDatabaseForm {
public:
    // makeGrid, when given, makes the grid (a test's own kind of TDBGrid)
    // on the form it is handed; the fixture sets it up as it sets its own.
    explicit GridDatabaseForm(const std::vector<std::string>& rows = AdjustmentTableRows(3),
                              const std::function<TDBGrid*(TForm*)>& makeGrid = nullptr);
    ~GridDatabaseForm();
    GridDatabaseForm(const GridDatabaseForm&) = delete;
    GridDatabaseForm& operator=(const GridDatabaseForm&) = delete;

    // Shows the form as the active window with the grid focused.
    void Show();

    // The rows the database holds, as "id|fecini|fecfin|porc|factor", dates
    // as yyyy-mm-dd, ordered by id; read with a connection of its own.
    std::vector<std::string> Stored();

    // The current record's values as the fields give them, "|"-separated.
    std::string CurrentValues() const;

    QImage Shot() const { return GridShot(Grid); }
    QRect CellOnWidget(int col, int row) const { return gridtest::CellOnWidget(Grid, col, row); }

    testsupport::TempDir Folder;
    std::string Database;
    guitest::DialogAndSettings Env;
    TForm* Form = nullptr;
    TEdit* Other = nullptr;
    TDBGrid* Grid = nullptr;
    TSQLConnection* Connection = nullptr;
    TSQLTable* Table = nullptr;
    TDataSetProvider* Provider = nullptr;
    TClientDataSet* Data = nullptr;
    TDataSource* Source = nullptr;
    AdjustmentFieldSet Fields;
};

// A connection to database as the window configures Talvero's, closed.
TSQLConnection* NewCompanyConnection(TComponent* owner, const std::string& database);

} // namespace gridtest
