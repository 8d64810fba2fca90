#pragma once
// IDSBase over a shared TDSTable. The passes over the change log live here:
// the delta (through TDSChangeFold), accepting, cancelling and, in
// TDSReconciler, reconciling with an error packet.

#include "data/engine/DSIntf.h"

#include <memory>

class TDSTable;

class TDSBase : public IDSBase {
public:
    TDSBase();
    ~TDSBase() override;

    void AppendData(const std::vector<uint8_t>& packet, bool endOfData) override;
    bool EndOfData() const override;
    const TDSRecordLayout& Layout() const override;
    const std::vector<DSAttribute>& Attributes() const override;
    const Variant* Attribute(std::string_view name) const override;

    int GetChangeCount() const override;
    std::vector<uint8_t> GetDelta() const override;
    void AcceptChanges() override;
    void CancelChanges() override;
    void
    Reconcile(const std::vector<uint8_t>& errorPacket,
              const std::function<TDSReconcileAnswer(const DSReconcileError&)>& callback) override;
    std::string StatusText(int status) const override;

    std::unique_ptr<IDSCursor> CreateCursor() override;

private:
    std::shared_ptr<TDSTable> FTable;
};
