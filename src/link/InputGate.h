#pragma once
// While the program waits for the board, input from the user is dropped, not
// held back: a click or key made during a wait must not start another exchange
// once the wait is over. Painting, timers, plug events, the pipes' events and a
// window's close go on as usual.
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <functional>
#include <list>

class InputGate : public QObject {
    Q_OBJECT
public:
    // The one gate of the program; it filters the application's events from
    // the first wait on.
    static InputGate& Instance();

    // Input is dropped for as long as one of these lives.
    class Closed {
    public:
        Closed();
        ~Closed();
        Closed(const Closed&) = delete;
        Closed& operator=(const Closed&) = delete;
    };

    // A message box shown during a wait lets input through to answer it.
    class Lifted {
    public:
        Lifted();
        ~Lifted();
        Lifted(const Lifted&) = delete;
        Lifted& operator=(const Lifted&) = delete;
    };

    // While one lives, input that `passes` accepts gets through a wait: a
    // control that starts no exchange of its own (the live view's "Stop", the
    // tab row whose page switch waits for the live view to stop).
    class Passed {
    public:
        using Test = std::function<bool(QObject* receiver, QEvent* event)>;
        explicit Passed(Test passes);
        ~Passed();
        Passed(const Passed&) = delete;
        Passed& operator=(const Passed&) = delete;

    private:
        std::list<Test>::iterator entry_;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InputGate() = default;
    void Arm();

    QPointer<QCoreApplication> filtered_;
    int closed_ = 0;
    int lifted_ = 0;
    std::list<Passed::Test> passed_;
};
