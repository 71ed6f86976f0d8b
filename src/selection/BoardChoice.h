#pragma once
// Telling boards apart for the user: the option that picks each, the board a
// program linked to, and devices with other ids that may be the board.
#include "link/usb/UsbObject.h"
#include "selection/BoardSelection.h"

#include <QList>
#include <QString>

// "no board with the ids 03eb:a815 is plugged in", with the port and the
// serial number when the selection names them.
QString NoBoardText(const BoardSelection& selection);

// The option that picks board among boards: "--serial X" when no other of
// them has its serial number, else "--port P"; for a candidate "--device
// VID:PID" (with "--port P" when another candidate has those ids too).
QString PickingOption(const usb::BoardListing& board, const QList<usb::BoardListing>& boards);

// The devices with other ids than the selection's whose interface 0 is
// vendor-specific and has exactly one of the board's endpoint layouts. Read
// from their descriptors: none is opened.
QList<usb::BoardListing> FindCandidates(usb::UsbBackend& backend);

// What to tell a user whom no board answers but candidates might: one line
// each, "a device that may be the board: 1234:5678 at port 1-2 (full layout):
// start with --device 1234:5678". Empty without candidates.
QString CandidateHint(const QList<usb::BoardListing>& candidates);

// "the board 03eb:a815 at port 1-1 (bus 001, address 002), serial X".
QString BoardText(const usb::BoardListing& board);
