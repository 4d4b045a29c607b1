// A picture box as the about window's animations need it: its place and size
// are kept in twips exactly as set (the animations test them for equality),
// and it draws its picture from its own top-left corner, clipped at its edges.
#pragma once

#include <QPixmap>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent, const QString& picture = QString());

    void Place(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int twips) { Place(twips, top_, width_, height_); }
    void setTop(int twips) { Place(left_, twips, width_, height_); }
    void setWidth(int twips) { Place(left_, top_, twips, height_); }
    void setHeight(int twips) { Place(left_, top_, width_, twips); }

    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap picture_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};
