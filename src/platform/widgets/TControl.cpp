#include "platform/widgets/TControl.h"

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TWinControl.h"

#include <QEvent>
#include <QPalette>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace {
const char* const kControlProperty = "talveroControl";
} // namespace

// Offers the events of every control's widget to the control. One object
// serves all widgets; it lives as long as the process.
class ControlEventFilter : public QObject {
public:
    static ControlEventFilter* instance() {
        static ControlEventFilter* filter = new ControlEventFilter;
        return filter;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        QVariant v = watched->property(kControlProperty);
        if (!v.isValid()) return false;
        auto* control = reinterpret_cast<TControl*>(v.value<quintptr>());
        // A handler that raises must not unwind through Qt's event delivery.
        try {
            return control->widgetEvent(event);
        } catch (const std::exception& e) {
            ShowException(e);
            return true;
        }
    }
};

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), FWidget(widget) {
    assert(widget && !widget->parent() && "a control takes over a new widget without parent");
    FWidget->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    FWidget->installEventFilter(ControlEventFilter::instance());
    FWidget->setAttribute(Qt::WA_DeleteOnClose, false);
    QRect g = FWidget->geometry();
    FWidth = g.width();
    FHeight = g.height();
}

TControl::~TControl() {
    if (FParent) FParent->removeControl(this);
    FParent = nullptr;
    FWidget->removeEventFilter(ControlEventFilter::instance());
    FWidget->setProperty(kControlProperty, QVariant());
    delete FWidget;
}

TControl* TControl::FromWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        QVariant v = w->property(kControlProperty);
        if (v.isValid()) return reinterpret_cast<TControl*>(v.value<quintptr>());
    }
    return nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent) {
        auto* self = dynamic_cast<TWinControl*>(this);
        if (self && self->ContainsControl(parent))
            throw EInvalidOperation("A control cannot have itself as its parent");
    }
    if (FParent) FParent->removeControl(this);
    FParent = parent;
    if (parent) {
        parent->insertControl(this);
        FWidget->setParent(parent->clientWidget());
    } else {
        FWidget->setParent(nullptr);
    }
    updateWidgetGeometry();
    // Qt hides a widget that changes parent; a parentless one must not become
    // a window of its own.
    FWidget->setVisible(FVisible && parent);
    applyFont();
    applyColor();
    propagateFontChange();
    propagateColorChange();
    if (parent) {
        if (FAlign != alNone) parent->Realign();
        parent->childrenChanged();
    }
}

TForm* TControl::ParentForm() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (auto* form = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(form);
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    bool resized = width != FWidth || height != FHeight;
    if (!resized && left == FLeft && top == FTop) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    updateWidgetGeometry();
    boundsChanged(resized);
    if (FAlign != alNone) requestAlign();
    if (FParent) FParent->childrenChanged();
}

void TControl::setAlignedBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    bool resized = width != FWidth || height != FHeight;
    if (!resized && left == FLeft && top == FTop) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    updateWidgetGeometry();
    boundsChanged(resized);
}

void TControl::updateWidgetGeometry() {
    if (FWidget->isWindow()) {
        // A window is placed by its frame and sized by its client area.
        FWidget->move(FLeft, FTop);
        FWidget->resize(FWidth, FHeight);
    } else {
        FWidget->setGeometry(FLeft, FTop, FWidth, FHeight);
    }
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    int64_t n = int64_t(number) * numerator, d = denominator;
    if (d < 0) n = -n, d = -d;
    return static_cast<int>(n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d));
}

void TControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    // Edges rather than sizes, so that controls that touch still touch.
    int left = MulDiv(FLeft, M, D), top = MulDiv(FTop, M, D);
    int right = MulDiv(FLeft + FWidth, M, D), bottom = MulDiv(FTop + FHeight, M, D);
    if (!FParentFont) {
        FFont.SetSize(MulDiv(FFont.Size(), M, D));
        applyFont();
        propagateFontChange();
    }
    setAlignedBounds(left, top, right - left, bottom - top);
}

void TControl::SetAlign(TAlign value) {
    if (value == FAlign) return;
    FAlign = value;
    requestAlign();
}

void TControl::requestAlign() {
    if (FParent && !FParent->FAligning) FParent->Realign();
}

void TControl::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    if (FParent) FWidget->setVisible(value);
    visibleChanged();
    if (FAlign != alNone) requestAlign();
    if (FParent) FParent->childrenChanged();
}

bool TControl::Showing() const {
    return FWidget->isVisible();
}

void TControl::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    FWidget->setEnabled(value);
}

void TControl::SetText(const std::string& value) {
    if (value == currentText()) return;
    applyText(value);
}

void TControl::applyText(const std::string& text) {
    FText = text;
    FWidget->update();
}

const TFont& TControl::Font() const {
    if (FParentFont && FParent) return FParent->Font();
    return FFont;
}

void TControl::SetFont(const TFont& font) {
    FFont = font;
    FParentFont = false;
    applyFont();
    propagateFontChange();
}

void TControl::SetParentFont(bool value) {
    if (value == FParentFont) return;
    if (!value) FFont = Font();
    FParentFont = value;
    applyFont();
    propagateFontChange();
}

TColor TControl::Color() const {
    if (FParentColor && FParent) return FParent->Color();
    return FColor;
}

void TControl::SetColor(TColor value) {
    FColor = value;
    FParentColor = false;
    applyColor();
    propagateColorChange();
}

void TControl::SetParentColor(bool value) {
    if (value == FParentColor) return;
    if (!value) FColor = Color();
    FParentColor = value;
    applyColor();
    propagateColorChange();
}

void TControl::applyFont() {
    // A widget without a font of its own takes its parent widget's, as a
    // control with ParentFont takes its parent's.
    FWidget->setFont(FParentFont && FParent ? QFont() : ToQFont(FFont));
    updatePalette();
}

void TControl::applyColor() {
    updatePalette();
    FWidget->update();
}

void TControl::updatePalette() {
    // Only the roles the control sets itself are resolved; the others come
    // from the parent widget, as the parent's font and colour do.
    QPalette p;
    if (!(FParentFont && FParent)) {
        QColor c = ToQColor(FFont.Color());
        for (auto group : {QPalette::Active, QPalette::Inactive})
            for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                p.setColor(group, role, c);
    }
    if (!(FParentColor && FParent)) p.setColor(QPalette::Window, ToQColor(FColor));
    FWidget->setPalette(p);
}

void TControl::propagateFontChange() {
    auto* self = dynamic_cast<TWinControl*>(this);
    if (!self) return;
    for (TControl* c : self->FControls) {
        if (!c->FParentFont) continue;
        c->applyFont();
        c->propagateFontChange();
    }
}

void TControl::propagateColorChange() {
    auto* self = dynamic_cast<TWinControl*>(this);
    if (!self) return;
    for (TControl* c : self->FControls) {
        if (!c->FParentColor) continue;
        c->applyColor();
        c->propagateColorChange();
    }
}

intptr_t TControl::Perform(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::Repaint() {
    FWidget->repaint();
}

void TControl::Invalidate() {
    FWidget->update();
}
