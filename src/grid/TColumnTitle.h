#pragma once
// TColumnTitle: the title cell of a grid column. A property the program has
// not set follows its default, re-read on every use, so that a later change
// of the grid's TitleFont or FixedColor, or of the field, reaches the title.
//
// Defaults: Caption the field's display label (its name when it has no
// label), or the column's FieldName when no field is bound; Alignment left;
// Color the grid's FixedColor; Font the grid's TitleFont.

#include "platform/Classes.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <optional>
#include <string>

class TDBGridColumn;

class TColumnTitle {
public:
    explicit TColumnTitle(TDBGridColumn& column) : FColumn(column) {}
    TColumnTitle(const TColumnTitle&) = delete;
    TColumnTitle& operator=(const TColumnTitle&) = delete;

    TDBGridColumn& Column() const { return FColumn; }

    std::string Caption() const;
    void SetCaption(std::string value);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    TColor Color() const;
    void SetColor(TColor value);
    TFont Font() const;
    void SetFont(const TFont& value);

    // The defaults come back for every property.
    void RestoreDefaults();

private:
    void changed();

    TDBGridColumn& FColumn;
    std::optional<std::string> FCaption;
    std::optional<TAlignment> FAlignment;
    std::optional<TColor> FColor;
    std::optional<TFont> FFont;
};
