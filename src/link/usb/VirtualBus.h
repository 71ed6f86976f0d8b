#pragma once
// The in-process USB bus of the simulated backend: which virtual boards are
// plugged in, and the faults that tests inject into component operations.
#include "link/usb/UsbStatus.h"
#include "link/usb/VirtualBoard.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace usb {

class VirtualBus : public QObject {
    Q_OBJECT
public:
    explicit VirtualBus(QObject* parent = nullptr);

    // Plugging raises PnPAddNotification on objects with plug events enabled and
    // no board in use; unplugging the board that objects have open fails their
    // transfers in flight with StatusDeviceGone and raises PnPRemoveNotification.
    void Plug(VirtualBoard* board);
    void Unplug(VirtualBoard* board);
    QList<VirtualBoard*> Boards() const; // plugged boards, first = device 0
    // Counts plugs and unplugs; an object attached in an earlier generation finds
    // its board gone.
    quint64 Generation() const { return generation_; }
    // The generation in which board was last plugged in; 0 when it is not plugged.
    // An object that opened the board in another generation has lost it.
    quint64 PlugGeneration(const VirtualBoard* board) const;

    // Makes operation (for example "QueueData", or "ReadTransfer" / "WriteTransfer"
    // for the transfers themselves) on the object named objectName (empty: any
    // object) return status, after skip matching calls, for times calls
    // (-1: for ever).
    void InjectFault(const QString& objectName, const QString& operation, Status status,
                     int skip = 0, int times = 1);
    void ClearFaults();
    // Faults injected and not yet used up (tests check that a fault was reached).
    int PendingFaults() const { return int(faults_.size()); }
    // Used by the simulated objects: the injected status for this call, or 0.
    Status TakeFault(const QString& objectName, const QString& operation);

Q_SIGNALS:
    void Plugged(usb::VirtualBoard* board);
    // plugGeneration: the generation in which board had been plugged in.
    void Unplugged(usb::VirtualBoard* board, quint64 plugGeneration);

private:
    struct Fault {
        QString objectName;
        QString operation;
        Status status;
        int skip;
        int times;
    };
    struct PluggedBoard {
        QPointer<VirtualBoard> board;
        quint64 generation;
    };
    QList<PluggedBoard> boards_;
    QList<Fault> faults_;
    quint64 generation_ = 0;
};

} // namespace usb
