#include "grid/TInplaceEdit.h"

#include "grid/TCustomGrid.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <memory>

TInplaceEdit::TInplaceEdit(TCustomGrid& grid) : TWinControl(nullptr, new QLineEdit), FGrid(grid) {
    QLineEdit* edit = LineEdit();
    edit->setFrame(false);
    edit->setFocusPolicy(Qt::StrongFocus);
    SetTabStop(false);
    SetVisible(false);
    SetParent(&grid);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString& text) {
        HandleExceptions([&] { FGrid.SetEditText(FGrid.Col(), FGrid.Row(), text.toStdString()); });
    });
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [this] { HandleExceptions([this] { textEdited(); }); });
}

TInplaceEdit::~TInplaceEdit() {
    QObject::disconnect(LineEdit(), nullptr, nullptr, nullptr);
}

QLineEdit* TInplaceEdit::LineEdit() const {
    return static_cast<QLineEdit*>(Widget());
}

std::string TInplaceEdit::Text() const {
    return LineEdit()->text().toStdString();
}

void TInplaceEdit::SelectAll() {
    LineEdit()->selectAll();
}

void TInplaceEdit::Deselect() {
    LineEdit()->deselect();
    LineEdit()->end(false);
}

std::string TInplaceEdit::SelText() const {
    return LineEdit()->selectedText().toStdString();
}

int TInplaceEdit::SelStart() const {
    QLineEdit* edit = LineEdit();
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int TInplaceEdit::SelLength() const {
    return LineEdit()->selectedText().size();
}

int TInplaceEdit::MaxLength() const {
    const int n = LineEdit()->maxLength();
    return n == 32767 ? 0 : n;
}

void TInplaceEdit::SetMaxLength(int value) {
    LineEdit()->setMaxLength(value > 0 ? value : 32767);
}

bool TInplaceEdit::ReadOnly() const {
    return LineEdit()->isReadOnly();
}

void TInplaceEdit::SetReadOnly(bool value) {
    LineEdit()->setReadOnly(value);
}

void TInplaceEdit::UpdateContents() {
    const std::string text = FGrid.GetEditText(FGrid.Col(), FGrid.Row());
    FFilling = true;
    SetMaxLength(0);
    LineEdit()->setText(QString::fromStdString(text));
    FFilling = false;
    FAcceptedText = text;
    SelectAll();
}

void TInplaceEdit::Place(const TRect& bounds) {
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    LayoutTextArea();
}

void TInplaceEdit::LayoutTextArea() {
    LineEdit()->setTextMargins(0, 0, 0, 0);
}

unsigned TInplaceEdit::DialogCodes() const {
    return dlgcWantArrows | dlgcWantTab | dlgcWantChars;
}

void TInplaceEdit::KeyDown(uint16_t& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0) return;
    if (key == VK_F2 && !(shift & (ssShift | ssCtrl | ssAlt))) {
        if (FGrid.OnKeyDown) FGrid.OnKeyDown(&FGrid, key, shift);
        Deselect();
        key = 0;
        return;
    }
    if (FGrid.EditorKeyForGrid(key, shift)) {
        // The grid may close this editor; the key is not the editor's after.
        FGrid.KeyDown(key, shift);
        key = 0;
        return;
    }
    const TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
    const bool changesText =
        (key == VK_DELETE && !(mods & ssCtrl)) || (key == VK_INSERT && mods == ssShift);
    if (changesText && !FGrid.CanEditModify()) key = 0;
}

void TInplaceEdit::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0) return;
    FGrid.KeyPress(key);
    const unsigned char ch = static_cast<unsigned char>(key);
    switch (ch) {
    case 0:
        return;
    case '\t':
    case '\r':
    case 27:
        // Moves and cancels are the grid's; the text takes none of them.
        key = 0;
        return;
    default:
        break;
    }
    // Backspace, Ctrl+V, Ctrl+X, Ctrl+Z and the printable characters change
    // the text.
    const bool changesText = ch == 8 || ch == 22 || ch == 24 || ch == 26 || ch >= 32;
    if (!changesText) return;
    if (ch >= 32 && !FGrid.CanEditAcceptChar(key)) {
        Beep();
        key = 0;
        return;
    }
    if (!FGrid.CanEditModify()) key = 0;
}

void TInplaceEdit::TypeChar(char ch) {
    KeyPress(ch);
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == 8) {
        LineEdit()->backspace();
    } else if (c >= 32) {
        LineEdit()->insert(QString::fromStdString(Win1252ToUtf8(std::string(1, ch))));
    }
}

void TInplaceEdit::textEdited() {
    if (FFilling) return;
    const std::string now = Text();
    if (FGrid.CanEditModify()) {
        FAcceptedText = now;
        return;
    }
    // A change that did not come through the keys (the context menu, a
    // drop) and that the cell does not take is undone.
    FFilling = true;
    LineEdit()->setText(QString::fromStdString(FAcceptedText));
    FFilling = false;
}

QString TInplaceEdit::PasteText(const QString& text) const {
    QString kept;
    for (const char32_t c : text.toUcs4())
        if (c >= 32) kept += QString::fromUcs4(&c, 1);
    return kept;
}

void TInplaceEdit::PasteFromClipboard() {
    if (ReadOnly() || !FGrid.CanEditModify()) return;
    const QString text = PasteText(QGuiApplication::clipboard()->text());
    // In place of the selection, and the caret after it.
    LineEdit()->insert(text);
    FAcceptedText = Text();
}

void TInplaceEdit::showContextMenu(QPoint global) {
    std::unique_ptr<QMenu> menu(LineEdit()->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste")) continue;
        // The editor's own paste, which keeps only what the cell takes.
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, menu.get(),
                         [this] { HandleExceptions([this] { PasteFromClipboard(); }); });
    }
    menu->exec(global);
}

bool TInplaceEdit::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            PasteFromClipboard();
            return true;
        }
        break;
    case QEvent::ContextMenu:
        showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        break;
    }
    return TWinControl::widgetEvent(event);
}
