#pragma once
// One control of the window as data: what it is, what it says, where it sits
// (in twips, inside its frame) and how it looks. The pages are tables of these
// rows and one builder turns them into widgets, handing each widget to the
// page member that its row names.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

enum class Kind {
    Button,      // push button; its caption wraps when the button is narrow
    Label,       // static text
    ClickLabel,  // text that acts on a click or on Space / Enter
    TextBox,     // one-line text box
    Console,     // the multi-line console with both scroll bars
    Option,      // option button; the members of one array form one group
    CheckBox,    //
    DropDown,    // drop-down list with an edit part showing the caption
    ProgressBar, //
    Picture,     // picture box, starts with the placeholder bitmap
    FitPicture,  // picture box that fits the placeholder or a picture, keeping its aspect
    FolderBox,   // folder, drive and file boxes: plain views that the
    DriveBox,    // picture browser and the boot image list fill
    FileBox,     //
    Line,        // a straight horizontal or vertical line
};

// Everything about a control's look that is not its kind, caption or place.
// Unset fields keep the platform's defaults.
struct Look {
    QString face{}; // requested font face; Qt falls back by the hint
    QFont::StyleHint hint = QFont::AnyStyle;
    int points = 0; // font size; 0 keeps the window's
    bool bold = false;
    Qt::Alignment align = {}; // text alignment; {} keeps the kind's default
    bool wrap = false;        // labels: wrap words
    bool transparent = false; // labels drawn over a picture
    std::optional<QRgb> background{};
    bool showsBackground = false; // buttons whose background colour is set later
    bool stretch = false;         // pictures: stretch to the box instead of clipping
    bool readOnly = false;
    int maxLength = 0; // text boxes: 0 for no limit
    QString speak{};   // accessible name of a box that has no text of its own
    QString pattern{}; // file boxes: the file name pattern they list
};

// Hands a row's widget to the typed member of its page that it fills.
using Binding = std::function<void(QWidget* widget)>;

// A row bound to a member of another type, or two rows bound to one member, is
// a programming error that no user input can cause: it ends the program at
// start-up with the control's name.
[[noreturn]] void WrongBinding(const QWidget* widget, const char* why);

template <typename T> Binding Into(T*& member)
{
    return [&member](QWidget* widget) {
        if (member != nullptr)
            WrongBinding(widget, "a second control for one member");
        member = qobject_cast<T*>(widget);
        if (member == nullptr)
            WrongBinding(widget, T::staticMetaObject.className());
    };
}

// The members of an option button array fill one member: the group they form.
inline Binding Into(QButtonGroup*& group)
{
    return [&group](QWidget* widget) {
        auto* option = qobject_cast<QAbstractButton*>(widget);
        if (option == nullptr || option->group() == nullptr ||
            (group != nullptr && group != option->group()))
            WrongBinding(widget, "QButtonGroup");
        group = option->group();
    };
}

struct ControlRow {
    QString name;
    Kind kind;
    QString caption;              // caption or initial text
    int left, top, width, height; // twips, relative to the containing frame
    Binding into{};               // the member it fills; none for what no code uses
    Look look{};
    int index = -1; // >= 0: member `index` of the control array `name`
};

// The object name of a row's widget: the name, or "name_index" for array members.
inline QString ObjectNameOf(const ControlRow& row)
{
    return row.index < 0 ? row.name : QStringLiteral("%1_%2").arg(row.name).arg(row.index);
}
