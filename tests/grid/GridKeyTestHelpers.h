#pragma once
// Keys for the grid's keyboard tests, written as a user presses them, and
// what a test checks after them: the dataset's state, the current record and
// column, the current cell's text and the indicator's glyph.

#include "GridDatabaseFixture.h"

#include "grid/TGridDataLink.h"
#include "grid/TIndicatorImages.h"
#include "grid/TInplaceEdit.h"

#include <QLineEdit>

#include <string>
#include <vector>

namespace gridtest {

// One key press: a Qt key with its modifiers and the text a keyboard gives.
struct Key {
    int QtKey;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
    QString Text = QString();
};

inline Key K(int qtKey) {
    return {qtKey};
}
inline Key Shift(int qtKey) {
    return {qtKey, Qt::ShiftModifier};
}
inline Key Ctrl(int qtKey) {
    // Ctrl with a letter types its control character, as a keyboard does.
    QString text;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) text = QChar(char16_t(qtKey - Qt::Key_A + 1));
    return {qtKey, Qt::ControlModifier, text};
}
inline Key CtrlShift(int qtKey) {
    return {qtKey, Qt::ControlModifier | Qt::ShiftModifier};
}

// The keys of typing a text (ASCII), one per character.
inline std::vector<Key> Typed(const std::string& text) {
    std::vector<Key> keys;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool upper = std::isupper(u);
        keys.push_back({std::toupper(u), upper ? Qt::ShiftModifier : Qt::NoModifier,
                        QString(QChar(char16_t(u)))});
    }
    return keys;
}

inline void Press(const Key& key) {
    guitest::PressKey(key.QtKey, key.Modifiers, key.Text);
}
inline void Press(const std::vector<Key>& keys) {
    for (const Key& k : keys)
        Press(k);
}

// Keys joined, so that a table row reads as the user's sequence.
inline std::vector<Key> operator+(std::vector<Key> a, const std::vector<Key>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline std::vector<Key> operator*(int times, const Key& key) {
    return std::vector<Key>(static_cast<size_t>(times), key);
}

// The current state of the grid as a table row states it.
struct GridState {
    TDataSetState State;
    int RecNo; // 0: a new record, which has none
    int Column;
    std::string Text; // the current cell, or the open editor's text
    int Glyph;

    friend bool operator==(const GridState&, const GridState&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const GridState& s) {
    static const char* const states[] = {"inactive", "browse", "edit", "insert", "opening"};
    return out << "{" << states[s.State] << ", record " << s.RecNo << ", column " << s.Column
               << ", \"" << s.Text << "\", glyph " << s.Glyph << "}";
}

inline GridState StateOf(TDBGrid* grid) {
    TDataSet* ds = grid->DataLink().DataSet();
    GridState s;
    s.State = ds->State();
    s.RecNo = ds->State() == dsInsert ? 0 : ds->RecNo();
    s.Column = grid->SelectedIndex();
    s.Text = grid->EditorShowing() ? grid->InplaceEditor()->Text()
                                   : grid->CellText(grid->Col(), grid->Row());
    s.Glyph = grid->IndicatorImageOfRow(grid->Row());
    return s;
}

} // namespace gridtest
