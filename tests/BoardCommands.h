#pragma once
// The command blocks a virtual board received, as text without the blank padding.
#include "link/usb/VirtualBoard.h"

#include <QStringList>

inline QStringList Commands(const usb::VirtualBoard& board)
{
    QStringList texts;
    for (const QByteArray& block : board.CommandBlocks())
        texts << QString::fromLatin1(block).trimmed();
    return texts;
}
