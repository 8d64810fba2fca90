#pragma once
// Reconciling the change log with a provider's error packet: one callback per
// error row, then the changes the packet does not name are accepted, those
// answered dsrCancel or dsrRefresh are undone and the rest stay logged.
// The callbacks all run before anything changes, so that an exception from
// one leaves the base as it was.

#include "data/engine/DSIntf.h"

class TDSTable;

class TDSReconciler {
public:
    explicit TDSReconciler(TDSTable& table) : FTable(table) {}
    void Run(const std::vector<uint8_t>& errorPacket,
             const std::function<TDSReconcileAnswer(const DSReconcileError&)>& callback);

private:
    TDSTable& FTable;
};
