#pragma once
// Fonts as the suite names them. The Windows faces it asks for are not on
// this system: each is drawn with the first installed face of a short list.
// Heights follow the suite's rule: a negative height is the character height
// in pixels (-11 is an 11-pixel font, 8 points at 96 pixels per inch), a
// positive one the cell height including the internal leading.

#include "platform/widgets/TColor.h"

#include <QFont>

#include <string>
#include <string_view>

enum TFontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3
};
using TFontStyles = unsigned;

class TFont {
public:
    TFont() = default;
    TFont(std::string name, int height, TColor color = clWindowText, TFontStyles style = 0)
        : FName(std::move(name)), FHeight(height), FColor(color), FStyle(style) {}

    const std::string& Name() const { return FName; }
    void SetName(std::string name) { FName = std::move(name); }
    int Height() const { return FHeight; }
    void SetHeight(int height) { FHeight = height; }
    // Points at the design resolution of 96 pixels per inch.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style) { FStyle = style; }

    friend bool operator==(const TFont&, const TFont&) = default;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
};

// The installed family that stands in for a face: the face itself when it is
// installed, else the first installed of its list (Liberation Sans, Liberation
// Sans Narrow, DejaVu Sans, in the order that fits the face), else the name
// as given, which leaves the choice to Qt.
std::string SubstituteFontFamily(std::string_view name);

// The Qt font for a font of the suite; the colour is not part of it.
QFont ToQFont(const TFont& font);
