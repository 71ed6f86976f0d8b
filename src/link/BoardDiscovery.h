#pragma once
// Finding the board, opening it with all six objects, binding the pipes to the
// endpoint layout that the board offers, and following plug and unplug.
#include "link/LinkState.h"

#include <QObject>

class BoardDiscovery : public QObject {
    Q_OBJECT
public:
    BoardDiscovery(LinkState& state, usb::UsbBackend& backend, QObject* parent = nullptr);
    ~BoardDiscovery() override;

    // Creates the six objects in their order. Returns 0, or the number of the
    // failure when the component could not create them.
    std::int32_t CreateObjects();
    // Plug events, "USB OFF", open the board and bind its pipes.
    void StartLink();

    // 1: "USB OK", 2: "USB OFF", 0: only asks. Returns LinkUp.
    bool USBState(std::int16_t& State);
    bool USBState(std::int16_t&& State) { return USBState(State); }
    // Shows the text of a non-zero status word in a message box.
    void ReportStatus(usb::Status& Status);
    void OpenDevices();
    std::int32_t OpenEndpoints();
    void StartInPipe();
    void StartFileInPipe();
    void USBDevice_PnPAddNotification(usb::UsbObject* Obj);
    void USBDevice_PnPRemoveNotification(usb::UsbObject* Obj);

Q_SIGNALS:
    void StatusBoxChanged(int state); // 1: "USB OK" (green), 2: "USB OFF" (red)
    void CaptionChanged(const QString& caption);
    // A board arrived or left: what was read of its identity no longer holds.
    void IdentityLost();
    void MessageRequested(const QString& text);
    // The open board has left: what waits for it is over.
    void Unplugged();

private:
    LinkState& s_;
    usb::UsbBackend& backend_;
};
