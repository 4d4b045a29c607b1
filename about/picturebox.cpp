#include "picturebox.h"

#include "runtime/runtime.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QString& picture) : QWidget(parent)
{
    if (!picture.isEmpty())
        picture_ = QPixmap(picture);
}

void PictureBox::Place(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    PlaceTwips(this, left, top, width, height);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (!picture_.isNull())
        QPainter(this).drawPixmap(0, 0, picture_);
}
