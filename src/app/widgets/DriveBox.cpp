#include "app/widgets/DriveBox.h"

#include "browser/DriveList.h"

#include <QComboBox>
#include <QSignalBlocker>

DriveBox::DriveBox(QComboBox* box, DriveList* list) : QObject(box), box_(box), list_(list)
{
    Show();
    connect(list_, &DriveList::Shown, this, &DriveBox::Show);
    connect(box_, &QComboBox::currentIndexChanged, list_,
            [this] { list_->Pick(box_->currentText()); });
}

void DriveBox::Show()
{
    const QSignalBlocker quiet(box_);
    box_->clear();
    box_->addItems(list_->Volumes());
    box_->setCurrentIndex(box_->findText(list_->Value()));
}
