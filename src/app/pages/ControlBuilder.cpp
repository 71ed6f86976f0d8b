#include "app/pages/ControlBuilder.h"

#include "app/ConsoleView.h"
#include "app/Twips.h"
#include "app/pages/CaptionButton.h"
#include "app/pages/ClickLabel.h"
#include "app/widgets/FitPicture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QProgressBar>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>

namespace {

// A drop-down list whose choice sends a command (the UART speed) must send only
// for an entry chosen in its open list. On the closed box QComboBox takes the
// arrow keys, Home, End, the page keys and the wheel as a choice of the next
// entry, and Enter or a lost focus after typing as a choice of the entry the
// text matches; those never reach a command. Alt+Down and F4 still open the
// list, where the arrows and Enter choose as usual.
class ClosedListGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel)
            return true;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
                return !(key->modifiers() & Qt::AltModifier);
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return true;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

const QStringList NarrowSansFaces = {QStringLiteral("Arial"), QStringLiteral("Helvetica"),
                                     QStringLiteral("Liberation Sans"),
                                     QStringLiteral("Nimbus Sans")};

QLabel* MakeLabel(QLabel* label, const Look& look)
{
    label->setWordWrap(look.wrap);
    label->setAlignment(look.align ? look.align : Qt::AlignLeft | Qt::AlignTop);
    // Labels hide what lies below them (the box lines under a title), except
    // those drawn over a picture, which paint their text only.
    label->setAutoFillBackground(!look.transparent);
    return label;
}

QWidget* MakeLine(const ControlRow& row, QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(row.width >= row.height ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    return line;
}

QWidget* MakePicture(const ControlRow& row, QWidget* parent)
{
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setScaledContents(row.look.stretch);
    picture->setPixmap(QPixmap(QStringLiteral(":/bitmap101.png")));
    picture->setAccessibleName(row.look.speak.isEmpty() ? QStringLiteral("Picture")
                                                        : row.look.speak);
    return picture;
}

QWidget* MakeWidget(const ControlRow& row, QWidget* parent)
{
    const Look& look = row.look;
    switch (row.kind) {
    case Kind::Button: {
        auto* button = new CaptionButton(row.caption, parent);
        button->setAutoFillBackground(look.showsBackground);
        return button;
    }
    case Kind::Label:
        return MakeLabel(new QLabel(row.caption, parent), look);
    case Kind::ClickLabel:
        return MakeLabel(new ClickLabel(row.caption, parent), look);
    case Kind::TextBox: {
        auto* box = new QLineEdit(row.caption, parent);
        if (look.align)
            box->setAlignment(look.align);
        if (look.maxLength > 0)
            box->setMaxLength(look.maxLength);
        box->setReadOnly(look.readOnly);
        // A read-only box (the USB status) is looked at, not worked in: it takes
        // no focus, so a tab switch never lands in it and shows its text selected.
        if (look.readOnly)
            box->setFocusPolicy(Qt::NoFocus);
        box->setCursorPosition(0);
        // The boxes keep their design widths, so a long text (a firmware
        // version) shows its beginning only; its tooltip and accessible
        // description hold all of it.
        const auto describe = [box](const QString& text) {
            box->setToolTip(text);
            box->setAccessibleDescription(text);
        };
        describe(box->text());
        QObject::connect(box, &QLineEdit::textChanged, box, describe);
        return box;
    }
    case Kind::Console: {
        auto* console = new ConsoleView(parent);
        console->setPlainText(row.caption);
        console->setTabChangesFocus(true);
        return console;
    }
    case Kind::Option:
        return new QRadioButton(row.caption, parent);
    case Kind::CheckBox:
        return new QCheckBox(row.caption, parent);
    case Kind::DropDown: {
        // The edit part only shows a text ("Combo1" until an entry is chosen):
        // it takes no typing, completes nothing and the list keeps exactly its
        // entries.
        auto* list = new QComboBox(parent);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        list->lineEdit()->setReadOnly(true);
        auto* guard = new ClosedListGuard(list);
        list->installEventFilter(guard);
        list->lineEdit()->installEventFilter(guard);
        list->setEditText(row.caption);
        return list;
    }
    case Kind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    case Kind::Picture:
        return MakePicture(row, parent);
    case Kind::FitPicture: {
        auto* picture = new FitPicture(parent);
        picture->SetPicture(QImage(QStringLiteral(":/bitmap101.png")));
        return picture;
    }
    case Kind::FolderBox:
    case Kind::FileBox:
        return new QListView(parent);
    case Kind::DriveBox:
        return new QComboBox(parent);
    case Kind::Line:
        return MakeLine(row, parent);
    }
    return nullptr;
}

QRect PlaceOf(const ControlRow& row)
{
    QRect place = TwipsRect(row.left, row.top, row.width, row.height);
    // A line's place is as thin as the line; it still needs one pixel to be drawn.
    if (place.height() < 1)
        place.setHeight(1);
    if (place.width() < 1)
        place.setWidth(1);
    return place;
}

void ApplyFont(QWidget* widget, const Look& look)
{
    if (look.face.isEmpty() && look.points == 0 && !look.bold)
        return;
    QFont font = widget->font();
    if (!look.face.isEmpty()) {
        // Where the requested face is missing, a sans serif face as narrow as
        // it keeps the large record texts inside their design places.
        QStringList faces{look.face};
        if (look.hint == QFont::SansSerif)
            faces << NarrowSansFaces;
        font.setFamilies(faces);
        font.setStyleHint(look.hint);
    }
    if (look.points > 0)
        font.setPointSize(look.points);
    font.setBold(look.bold);
    widget->setFont(font);
}

} // namespace

void WrongBinding(const QWidget* widget, const char* why)
{
    std::fprintf(stderr, "q815evm: the row of control '%s' fills its member wrongly (%s)\n",
                 qPrintable(widget->objectName()), why);
    std::abort();
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
}

void BuildControls(QWidget* parent, const QList<ControlRow>& rows)
{
    QHash<QString, QButtonGroup*> groups;
    QWidget* previous = nullptr;
    for (const ControlRow& row : rows) {
        QWidget* widget = MakeWidget(row, parent);
        widget->setObjectName(ObjectNameOf(row));
        widget->setGeometry(PlaceOf(row));
        if (row.index >= 0) {
            widget->setProperty("controlArray", row.name);
            widget->setProperty("controlIndex", row.index);
        }
        ApplyFont(widget, row.look);
        if (row.look.background)
            SetBackground(widget, QColor::fromRgb(*row.look.background));
        if (!row.look.speak.isEmpty())
            widget->setAccessibleName(row.look.speak);
        if (!row.look.pattern.isEmpty())
            widget->setProperty("pattern", row.look.pattern);

        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            QButtonGroup*& group = groups[row.name];
            if (group == nullptr) {
                group = new QButtonGroup(parent);
                group->setObjectName(row.name);
            }
            group->addButton(option, row.index);
        }
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous != nullptr)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
        if (row.into)
            row.into(widget);
    }
}
