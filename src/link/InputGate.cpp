#include "link/InputGate.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

} // namespace

InputGate& InputGate::Instance()
{
    static InputGate gate;
    return gate;
}

void InputGate::Arm()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && filtered_ != app) {
        app->installEventFilter(this);
        filtered_ = app;
    }
}

bool InputGate::eventFilter(QObject* watched, QEvent* event)
{
    if (closed_ == 0 || lifted_ > 0 || !IsUserInput(event->type()))
        return false;
    for (const Passed::Test& passes : passed_)
        if (passes(watched, event))
            return false;
    return true;
}

InputGate::Closed::Closed()
{
    Instance().Arm();
    ++Instance().closed_;
}

InputGate::Closed::~Closed()
{
    --Instance().closed_;
}

InputGate::Lifted::Lifted()
{
    ++Instance().lifted_;
}

InputGate::Lifted::~Lifted()
{
    --Instance().lifted_;
}

InputGate::Passed::Passed(Test passes)
    : entry_(Instance().passed_.insert(Instance().passed_.end(), std::move(passes)))
{
}

InputGate::Passed::~Passed()
{
    Instance().passed_.erase(entry_);
}
