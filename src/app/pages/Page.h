#pragma once
// One tab's page: its frame, the controls built from its row table, and what it
// does when its tab is selected. A page class for a tab derives from this, keeps
// pointers to its own controls and binds them to its feature.
#include "app/Controls.h"
#include "app/pages/PageFrame.h"
#include "app/pages/Pages.h"

class Page : public PageFrame {
    Q_OBJECT
public:
    Page(const TabPage& tab, QWidget* parent);

    // The tab was selected, or clicked again while shown (when the tab's
    // `runsAgain` says so).
    virtual void Shown() {}
    // Another tab was selected. False while the page cannot let go yet (the
    // live view ends the frame in flight first): it raises LeaveReady then.
    virtual bool Leave() { return true; }

Q_SIGNALS:
    void LeaveReady();

protected:
    // A control of this page by its name, for the page's own binding.
    template <typename T>
    T* Own(const char* name) const
    {
        return Control<T>(*this, name);
    }
};
