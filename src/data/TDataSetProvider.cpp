#include "data/TDataSetProvider.h"

#include "data/TCustomSQLDataSet.h"
#include "data/TField.h"

TDataSetProvider::TDataSetProvider(TComponent* owner) : TCustomProvider(owner) {}

TDataSetProvider::~TDataSetProvider() {
    try {
        Reset();
    } catch (...) {
    }
}

void TDataSetProvider::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    Reset();
    FDataSet = dataSet;
}

void TDataSetProvider::Notification(TComponent* component, bool removing) {
    TCustomProvider::Notification(component, removing);
    if (removing && component == FDataSet) {
        FDataSet = nullptr;
        FDataSetOpened = false;
    }
}

TDataSet& TDataSetProvider::checkDataSet() const {
    if (!FDataSet) DatabaseError("Missing DataSet property");
    return *FDataSet;
}

TCustomSQLDataSet& TDataSetProvider::checkSQLDataSet() const {
    auto* sql = dynamic_cast<TCustomSQLDataSet*>(&checkDataSet());
    if (!sql)
        DatabaseError("The DataSet of a provider must be an SQL dataset to take command "
                      "texts and apply updates");
    return *sql;
}

void TDataSetProvider::Reset() {
    if (FDataSetOpened && FDataSet && FDataSet->Active()) {
        FDataSetOpened = false;
        FDataSet->Close();
    }
    FDataSetOpened = false;
}

std::vector<DSFieldDesc> TDataSetProvider::packetFields() const {
    std::vector<DSFieldDesc> fields;
    fields.reserve(FDataSet->FieldDefs().size());
    for (const TFieldDef& def : FDataSet->FieldDefs()) {
        DSFieldDesc d = def.Desc;
        if (d.Origin.empty()) d.Origin = d.Name;
        // A field of the dataset (persistent ones above all) says how its
        // column takes part in reading and writing.
        if (const TField* f = FDataSet->FindField(d.Name)) {
            d.ProviderFlags = f->ProviderFlags();
            d.Attributes &=
                static_cast<uint8_t>(~(fldAttrRequired | fldAttrReadOnly | fldAttrHidden));
            if (f->Required()) d.Attributes |= fldAttrRequired;
            if (f->ReadOnly()) d.Attributes |= fldAttrReadOnly;
        }
        if (d.ProviderFlags & pfHidden) d.Attributes |= fldAttrHidden;
        fields.push_back(std::move(d));
    }
    return fields;
}

std::vector<DSAttribute> TDataSetProvider::packetAttributes() const {
    std::vector<DSAttribute> attributes;
    auto* sql = dynamic_cast<TCustomSQLDataSet*>(FDataSet);
    int32_t lcid = sql && sql->SQLConnection() ? sql->SQLConnection()->LocaleCode() : 0;
    attributes.push_back({"LCID", Variant(lcid)});
    if (sql) {
        std::string table = sql->PSGetTableName();
        if (!table.empty()) attributes.push_back({"TABLE_NAME", Variant(table)});
    }
    bool readOnly = FOptions.Contains(poReadOnly);
    if (readOnly || FOptions.Contains(poDisableEdits))
        attributes.push_back({"DISABLE_EDITS", Variant(true)});
    if (readOnly || FOptions.Contains(poDisableInserts))
        attributes.push_back({"DISABLE_INSERTS", Variant(true)});
    if (readOnly || FOptions.Contains(poDisableDeletes))
        attributes.push_back({"DISABLE_DELETES", Variant(true)});
    return attributes;
}

std::vector<uint8_t> TDataSetProvider::GetRecords(int count, int& recsOut, int options,
                                                  const std::string& commandText, TParams& params,
                                                  Variant& ownerData) {
    recsOut = 0;
    if (options & grReset) {
        Reset();
        if (count == 0) return {};
    }
    try {
        TDataSet& ds = checkDataSet();
        if (!commandText.empty()) {
            if (!FOptions.Contains(poAllowCommandText))
                DatabaseError("CommandText changes are not allowed");
            checkSQLDataSet().PSSetCommandText(commandText);
        }
        if (!ds.Active()) {
            if (params.Count() > 0) {
                TParams& own = checkSQLDataSet().Params();
                for (int i = 0; i < params.Count(); ++i)
                    if (TParam* p = own.FindParam(params.Items(i).Name))
                        p->Value = params.Items(i).Value;
            }
            ds.Open();
            FDataSetOpened = true;
        }
        std::unique_ptr<IDSWriter> writer = CreateDSWriter();
        writer->Init(packetFields(), packetAttributes());
        while ((count < 0 || recsOut < count) && !ds.Eof()) {
            writer->AddRecord(ds.ActiveBuffer());
            ++recsOut;
            ds.Next();
        }
        std::vector<uint8_t> packet = writer->GetDataPacket();
        if (count < 0 || recsOut < count) Reset();
        return packet;
    } catch (...) {
        try {
            Reset();
        } catch (...) {
        }
        throw;
    }
}
