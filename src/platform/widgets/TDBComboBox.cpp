#include "platform/widgets/TDBComboBox.h"

#include "platform/Classes.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSizeGrip>

// The widget of the box: a combo box whose typing field the control owns,
// and whose list may carry a size grip.
class DBComboWidget : public QComboBox {
public:
    explicit DBComboWidget(TDBComboBox* control) : FControl(control) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        // The text is what the user types: nothing completes it.
        setCompleter(nullptr);
        lineEdit()->installEventFilter(this);
    }

    void showPopup() override {
        QComboBox::showPopup();
        QWidget* popup = view()->window();
        if (popup == window()) return;
        if (!FControl->DropDownSizable()) {
            if (FGrip) FGrip->hide();
            return;
        }
        if (!FGrip) {
            FGrip = new QSizeGrip(popup);
            popup->installEventFilter(this);
        }
        if (FUserSize.isValid()) popup->resize(FUserSize);
        FShownSize = popup->size();
        placeGrip(popup);
        FGrip->show();
    }

    void hidePopup() override {
        QWidget* popup = view()->window();
        if (FGrip && FGrip->isVisible() && popup->size() != FShownSize) FUserSize = popup->size();
        QComboBox::hidePopup();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress &&
            FControl->PickOnly() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (!hasFocus()) setFocus(Qt::MouseFocusReason);
            showPopup();
            return true;
        }
        if (FGrip && watched == FGrip->parent() && event->type() == QEvent::Resize)
            placeGrip(FGrip->parentWidget());
        return QComboBox::eventFilter(watched, event);
    }

private:
    void placeGrip(QWidget* popup) {
        const QSize size = FGrip->sizeHint();
        FGrip->setGeometry(popup->width() - size.width(), popup->height() - size.height(),
                           size.width(), size.height());
        FGrip->raise();
    }

    TDBComboBox* FControl;
    QSizeGrip* FGrip = nullptr;
    QSize FShownSize;
    QSize FUserSize;
};

TDBComboBox::TDBComboBox(TComponent* owner)
    : TWinControl(owner, new DBComboWidget(this)), FItems(std::make_unique<TStringList>()),
      FKeyItems(std::make_unique<TStringList>()) {
    DBComboWidget* box = combo();
    box->setFocusPolicy(Qt::StrongFocus);
    SetDropDownRows(FDropDownRows);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
    QObject::connect(box, &QComboBox::editTextChanged, box, [this] { textChanged(); });
    // A choice from the list shows the whole item selected, so that typing
    // starts anew.
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [this] {
        if (PickOnly() && !FTyping) combo()->lineEdit()->selectAll();
    });
}

TDBComboBox::~TDBComboBox() = default;

DBComboWidget* TDBComboBox::combo() const {
    return static_cast<DBComboWidget*>(Widget());
}

const TStrings& TDBComboBox::Items() const {
    return *FItems;
}

const TStrings& TDBComboBox::KeyItems() const {
    return *FKeyItems;
}

bool TDBComboBox::PickOnly() const {
    return FKeyItems->Count() > 0;
}

void TDBComboBox::SetItems(const TStrings& items) {
    FItems->Assign(items);
    fillWidget();
}

void TDBComboBox::SetKeyItems(const TStrings& keys) {
    FKeyItems->Assign(keys);
    fillWidget();
}

void TDBComboBox::fillWidget() {
    DBComboWidget* box = combo();
    const QString text = box->currentText();
    {
        QSignalBlocker block(box);
        box->clear();
        for (const std::string& line : FItems->Lines())
            box->addItem(QString::fromStdString(line));
        box->lineEdit()->setReadOnly(PickOnly());
        box->lineEdit()->setCursor(PickOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
        if (PickOnly()) {
            box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
            if (box->currentIndex() < 0) box->setEditText(QString());
        } else {
            box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
            box->setEditText(text);
        }
    }
    textChanged();
}

int TDBComboBox::ItemIndex() const {
    DBComboWidget* box = combo();
    // A free text the user changed after choosing an item is no item.
    const int index = box->currentIndex();
    return index >= 0 && box->itemText(index) == box->currentText() ? index : -1;
}

void TDBComboBox::SetItemIndex(int value) {
    DBComboWidget* box = combo();
    if (value < 0 || value >= box->count()) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        return;
    }
    box->setCurrentIndex(value);
    // A free text typed after the last choice gives way to the item.
    if (box->currentText() != box->itemText(value)) box->setEditText(box->itemText(value));
    if (PickOnly() && !FTyping) box->lineEdit()->selectAll();
}

void TDBComboBox::SetDropDownRows(int value) {
    FDropDownRows = value;
    combo()->setMaxVisibleItems(std::max(1, value));
}

bool TDBComboBox::DroppedDown() const {
    QWidget* popup = combo()->view()->window();
    return popup != combo()->window() && popup->isVisible();
}

void TDBComboBox::SetDroppedDown(bool value) {
    if (value == DroppedDown()) return;
    value ? combo()->showPopup() : combo()->hidePopup();
}

std::string TDBComboBox::currentText() const {
    return combo()->currentText().toStdString();
}

void TDBComboBox::applyText(const std::string& text) {
    DBComboWidget* box = combo();
    const QString t = QString::fromStdString(text);
    if (!PickOnly()) {
        box->setEditText(t);
        return;
    }
    int index = box->findText(t, Qt::MatchExactly);
    if (index < 0) index = box->findText(t, Qt::MatchFixedString);
    SetItemIndex(index);
}

void TDBComboBox::updatePalette() {
    TWinControl::updatePalette();
    QPalette p = Widget()->palette();
    p.setColor(QPalette::Base, ToQColor(Color()));
    Widget()->setPalette(p);
}

void TDBComboBox::textChanged() {
    std::string now = currentText();
    if (now == FLastText) return;
    FLastText = std::move(now);
    if (OnChange) HandleExceptions([this] { OnChange(this); });
}

void TDBComboBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (!PickOnly() || key == 0) return;
    const auto ch = static_cast<unsigned char>(key);
    if (ch == '\b') {
        key = 0;
        backspace();
    } else if (ch >= ' ' && ch != 127) {
        key = 0;
        typeCharacter(QString::fromStdString(Win1252ToUtf8(std::string(1, char(ch)))));
    }
}

int TDBComboBox::findPrefix(const QString& prefix) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (QString::fromStdString(FItems->Strings(i)).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

// The typed characters are the part of the text before its selection.
static int typedLength(const QLineEdit* edit) {
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TDBComboBox::typeCharacter(const QString& ch) {
    QLineEdit* edit = combo()->lineEdit();
    QString typed = edit->text().left(typedLength(edit)) + ch;
    int index = findPrefix(typed);
    if (index < 0) {
        typed = ch;
        index = findPrefix(typed);
    }
    if (index >= 0) selectTyped(index, static_cast<int>(typed.size()));
}

void TDBComboBox::backspace() {
    QLineEdit* edit = combo()->lineEdit();
    const int length = typedLength(edit);
    if (length == 0) return;
    const QString typed = edit->text().left(length - 1);
    if (typed.isEmpty()) {
        edit->selectAll();
        return;
    }
    const int index = findPrefix(typed);
    selectTyped(index >= 0 ? index : ItemIndex(), static_cast<int>(typed.size()));
}

void TDBComboBox::selectTyped(int index, int typedLength) {
    FTyping = true;
    SetItemIndex(index);
    FTyping = false;
    QLineEdit* edit = combo()->lineEdit();
    edit->setSelection(typedLength, static_cast<int>(edit->text().size()) - typedLength);
}
