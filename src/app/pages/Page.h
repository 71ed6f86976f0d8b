#pragma once
// One tab's page: its frame, the controls built from its row table, and what it
// does when its tab is selected. A page class for a tab derives from this and
// from the struct of its controls, which its row table fills, and binds them
// to its feature.
#include "app/pages/PageFrame.h"
#include "app/pages/Pages.h"

struct ResizeLayout;

class Page : public PageFrame {
    Q_OBJECT
public:
    // The frame of the entry `tab`, without controls.
    Page(const TabPage& tab, QWidget* parent);

    // A click on the shown tab runs Shown() again.
    bool RunsAgain() const { return runsAgain_; }
    // The window has loaded: the program's folder is known.
    virtual void Loaded() {}
    // The tab was selected, or clicked again while shown (when RunsAgain()).
    virtual void Shown() {}
    // Another tab was selected. False while the page cannot let go yet (the
    // live view ends the frame in flight first): it raises LeaveReady then.
    virtual bool Leave() { return true; }
    // The window was resized: a page that grows with it sets its frame and its
    // controls from its part of the layout.
    virtual void ApplyLayout(const ResizeLayout& /*layout*/) {}

Q_SIGNALS:
    void LeaveReady();

private:
    const bool runsAgain_;
};
