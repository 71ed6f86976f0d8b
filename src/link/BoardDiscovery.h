#pragma once
// Finding the board, opening it with all six objects, binding the pipes to the
// endpoint layout that the board offers, and following plug and unplug.
#include "link/LinkPipes.h"

#include <QObject>

class FilePipeHandlers;
class ReceivePath;

// Interface GUID under which the board announces itself.
inline constexpr char BoardInterfaceGuid[] = "{325ddf96-938c-11d3-9e34-0080c82727f4}";
inline constexpr char CaptionLinked[] = "Q815EVM Full V1.27";
inline constexpr char CaptionNoUnit[] = "Vantrel No Unit Full V1.27";

class BoardDiscovery : public QObject {
    Q_OBJECT
public:
    // Fills pipes with the objects it creates (their only writer) and starts
    // the receive path and the file input pipe reading once they are bound.
    BoardDiscovery(LinkPipes& pipes, ReceivePath& receive, FilePipeHandlers& filePipes,
                   usb::UsbBackend& backend, QObject* parent = nullptr);
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

    // The board is open and its pipes are bound.
    bool Linked() const { return LinkUp; }
    // The board offered no download endpoint, so the command endpoints were tried.
    bool CommandEndpointsBound() const { return CommandEndpoints == 1; }

Q_SIGNALS:
    void StatusBoxChanged(int state); // 1: "USB OK" (green), 2: "USB OFF" (red)
    void CaptionChanged(const QString& caption);
    // A board arrived or left: what was read of its identity no longer holds.
    void IdentityLost();
    void MessageRequested(const QString& text);
    // The open board has left: what waits for it is over.
    void Unplugged();

private:
    LinkPipes& pipes_;
    ReceivePath& receive_;
    FilePipeHandlers& filePipes_;
    usb::UsbBackend& backend_;
    // The status words of discovery's own calls.
    usb::Status DeviceStatus = 0;
    usb::Status InStatus = 0;
    usb::Status OutStatus = 0;
    usb::Status FileInStatus = 0;
    usb::Status FileOutStatus = 0;
    bool LinkUp = false;               // set and cleared only by USBState
    std::int16_t CommandEndpoints = 0; // 1 when the command endpoints were bound
};
