#pragma once
// The whole window on the simulated backend with one virtual board, message
// boxes recorded instead of shown.
#include "BoardCommands.h"
#include "ControlByName.h"
#include "LinkProbe.h"
#include "app/SimulatedWindow.h"

#include <QStringList>
#include <functional>

struct WindowFixture : SimulatedWindow {
    QStringList messages;
    bool loaded = false; // what Form_Load returned

    // beforeLoad runs after the board is plugged and before Form_Load (for faults
    // that start-up is to meet).
    explicit WindowFixture(usb::EndpointLayout layout = usb::EndpointLayout::Full,
                           bool plugged = true,
                           const std::function<void(WindowFixture&)>& beforeLoad = {})
    {
        board.SetLayout(layout);
        if (plugged)
            bus.Plug(&board);
        window.SetMessageSink([this](const QString& text) { messages << text; });
        if (beforeLoad)
            beforeLoad(*this);
        loaded = window.Form_Load();
    }

    template <typename T> T* Get(const char* name) { return Control<T>(window, name); }

    QStringList Commands() const { return ::Commands(board); }
};
