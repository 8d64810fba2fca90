#include "platform/widgets/TComboBox.h"

#include "platform/Classes.h"
#include "platform/Dialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner, new QComboBox), FItems(std::make_unique<TStringList>()) {
    auto* combo = static_cast<QComboBox*>(Widget());
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    QObject::connect(combo, &QComboBox::activated, combo, [this] {
        if (OnChange) HandleExceptions([this] { OnChange(this); });
    });
}

TComboBox::~TComboBox() = default;

void TComboBox::SetStyle(TComboBoxStyle value) {
    FStyle = value;
    auto* combo = static_cast<QComboBox*>(Widget());
    int index = combo->currentIndex();
    // Qt deletes the typing field of a combo box that stops being editable
    // later, and that field, as it goes, takes the focus from the combo box
    // (whatever has it by then). It goes now instead.
    QLineEdit* field = combo->lineEdit();
    bool focused = combo->hasFocus();
    combo->setEditable(value != csDropDownList);
    if (field && !combo->isEditable()) delete field;
    if (focused) combo->setFocus();
    combo->setCurrentIndex(index);
    if (combo->lineEdit()) {
        combo->lineEdit()->setFont(combo->font());
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [this] {
            if (OnChange) HandleExceptions([this] { OnChange(this); });
        });
    }
}

const TStrings& TComboBox::Items() const {
    return *FItems;
}

void TComboBox::SetItems(const TStrings& items) {
    FItems->Assign(items);
    auto* combo = static_cast<QComboBox*>(Widget());
    QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& line : items.Lines())
        combo->addItem(QString::fromStdString(line));
    // Assigning the items chooses nothing.
    combo->setCurrentIndex(-1);
}

int TComboBox::ItemIndex() const {
    return static_cast<QComboBox*>(Widget())->currentIndex();
}

void TComboBox::SetItemIndex(int value) {
    auto* combo = static_cast<QComboBox*>(Widget());
    QSignalBlocker block(combo);
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

void TComboBox::SetItemHeight(int value) {
    FItemHeight = value;
    static_cast<QComboBox*>(Widget())->view()->setStyleSheet(
        QStringLiteral("QAbstractItemView::item { height: %1px; }").arg(value));
}

void TComboBox::SetBevelKind(TBevelKind value) {
    FBevelKind = value;
    static_cast<QComboBox*>(Widget())->setFrame(value != bkFlat);
}

std::string TComboBox::currentText() const {
    return static_cast<QComboBox*>(Widget())->currentText().toStdString();
}

void TComboBox::applyText(const std::string& text) {
    auto* combo = static_cast<QComboBox*>(Widget());
    QString t = QString::fromStdString(text);
    if (combo->isEditable()) {
        combo->setEditText(t);
        return;
    }
    // A list that lets the user only choose shows only its items.
    combo->setCurrentIndex(combo->findText(t, Qt::MatchExactly));
}

void TComboBox::updatePalette() {
    TWinControl::updatePalette();
    QPalette p = Widget()->palette();
    p.setColor(QPalette::Base, ToQColor(Color()));
    Widget()->setPalette(p);
}
