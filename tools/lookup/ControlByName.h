#pragma once
// A control of the window found by its object name, the way a user or an
// outside checker names it: for the programs that drive the window from
// outside (the tests, the benchmarks, the window's fuzzer and the page
// grabber). The window itself hands each control to a typed member and never
// looks one up by name.
#include <QByteArray>
#include <QLineEdit>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

template <typename T> T* Control(const QWidget& root, const char* name)
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
