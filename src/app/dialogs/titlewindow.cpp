#include "titlewindow.h"

#include "pictures.h"
#include "placement.h"
#include "platform/version.h"

#include <QVBoxLayout>

namespace qm {

TTitel::TTitel(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TTitel"));
    setWindowTitle(QString::fromLatin1(kProgramName));
    auto *picture = new PictureView(&drawTitlePicture, TitlePictureSize, this);
    picture->setObjectName(QStringLiteral("Bild"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TTitel::showCentered()
{
    centerOnScreen(*this);
    show();
}

} // namespace qm
