#include "platform/widgets/InputHold.h"

#include "platform/widgets/VirtualKeys.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <vector>

namespace {

bool isHeldInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// The top-level window an event's receiver belongs to.
const QObject* windowOf(const QObject* receiver) {
    if (auto* widget = qobject_cast<const QWidget*>(receiver)) return widget->window();
    if (auto* window = qobject_cast<const QWindow*>(receiver)) {
        // A widget window stands for its top-level widget.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window) return top;
        return window;
    }
    return receiver;
}

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

// Takes the held input out of the way of the program and keeps it in order.
class InputHoldFilter : public QObject {
public:
    struct Held {
        QPointer<QObject> Receiver;
        std::unique_ptr<QEvent> Event;
    };
    std::vector<Held> Events;

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!isHeldInput(event->type())) return false;
        // Qt asks about shortcuts before it delivers the key itself; the key
        // is what is handed on later.
        if (event->type() != QEvent::ShortcutOverride)
            Events.push_back(Held{receiver, std::unique_ptr<QEvent>(event->clone())});
        return true;
    }
};

TInputHold::TInputHold() : FFilter(std::make_unique<InputHoldFilter>()) {
    QCoreApplication::instance()->installEventFilter(FFilter.get());
}

TInputHold::~TInputHold() {
    QCoreApplication::instance()->removeEventFilter(FFilter.get());
    for (auto& held : FFilter->Events)
        if (held.Receiver) QCoreApplication::postEvent(held.Receiver, held.Event.release());
}

bool TInputHold::KeyPressWaiting(const QWidget* window, uint16_t key) {
    const bool first = FLooks++ == 0;
    // The clock is read every 256 looks, so that looking stays cheap.
    if (first || (FLooks % 256 == 0 && nowMs() - FLastFetch >= 20)) {
        FLastFetch = nowMs();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    if (FFilter->Events.empty()) return false;
    const QObject* target = window ? window->window() : nullptr;
    for (const auto& held : FFilter->Events) {
        if (held.Event->type() != QEvent::KeyPress || !held.Receiver) continue;
        const auto* k = static_cast<const QKeyEvent*>(held.Event.get());
        if (VirtualKeyFromQt(k->key(), k->modifiers()) != key) continue;
        if (!target || windowOf(held.Receiver) == target) return true;
    }
    return false;
}
