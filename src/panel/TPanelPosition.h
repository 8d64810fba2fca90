#pragma once
// TPanelPosition: where a panel that the user can move or size would keep its
// place between runs (Save, under Key and Section). This panel is never moved
// or sized by the user, so it stays at the bounds of its form and nothing is
// saved; the settings are held for the form's description.

#include "platform/Classes.h"

#include <string>

class TPanelPosition : public TObject {
public:
    bool Save() const { return FSave; }
    void SetSave(bool value) { FSave = value; }
    const std::string& Key() const { return FKey; }
    void SetKey(std::string value) { FKey = std::move(value); }
    const std::string& Section() const { return FSection; }
    void SetSection(std::string value) { FSection = std::move(value); }

private:
    bool FSave = false;
    std::string FKey;
    std::string FSection;
};
