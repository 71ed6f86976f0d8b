#pragma once
// Finding a control by its name, inside the window only: a page takes its own
// controls from what its row table built (Page::Own), and the window the few
// that lie on it. Features never see a widget.
#include <QByteArray>
#include <QLineEdit>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

template <typename T>
T* Control(const QWidget& root, const char* name)
{
    T* control = root.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        // A missing control is a programming error that no user input can cause.
        std::fprintf(stderr, "q815evm: the window has no control '%s' of the expected kind\n",
                     name);
        std::abort();
    }
    return control;
}
