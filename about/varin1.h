// The about window: credits, the opening animation and the thanks letter.
// Everything moves by this window's timers, each armed by a button or by the
// timer before it and disarmed by itself. Places and sizes are in twips.
#pragma once

#include "about/movie.h"
#include "about/picturebox.h"
#include "runtime/forms.h"
#include "runtime/runtime.h"

class QLineEdit;
class QPushButton;

class Varin1 : public Form {
    Q_OBJECT
public:
    Varin1();

    // Left panel.
    PictureBox* Picture1;              // background; holds Pi2 and SFlash1
    MoviePlayer* SFlash1;              // the movie's place, inside Picture1
    PictureBox* Pi2;                   // middle picture, shown when the opening ends
    PictureBox* Pi9;                   // upper picture, uncovered from the top down
    PictureBox* Pi1;                   // lower picture, slides in from the right
    QPushButton* Command2;             // opens the thanks letter
    QPushButton* Command1;             // closes the window
    // Right panel, seen only while the window is widened.
    PictureBox* Picture4;              // top banner
    PictureBox* Picture2;              // the thanks letter, scrolling up
    PictureBox* Picture3;              // bottom banner
    QPushButton* Command3;             // "OK": ends the thanks letter
    // Hidden counters, whole numbers as decimal text.
    QLineEdit* T10;                    // growth of Pi9
    QLineEdit* T1;                     // position of Pi1
    QLineEdit* TT1;                    // scroll offset of the letter
    QLineEdit* Red;                    // step of the window's motion, shared by four timers
    FormTimer *Tim, *Timer10, *Timer8, *Timer1;   // opening
    FormTimer *Timer9, *Timer12, *Timer2;         // thanks letter: slide, widen, scroll
    FormTimer *Timer13, *Timer14;                 // back: slide, narrow
    SkinComponent Skin1;

    // The window's place and width in twips. The left edge keeps its
    // fraction: the slides move it by quarter-twips.
    double Left() const;
    void setLeft(double twips);
    int Width() const { return width_; }
    void setWidth(int twips);

    // Shows the window modally over its owner, centred on it.
    void ShowModal(QWidget* owner);

    // Handlers.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Tim_Timer();
    void Timer10_Timer();
    void Timer8_Timer();
    void Timer1_Timer();
    void Timer9_Timer();
    void Timer12_Timer();
    void Timer2_Timer();
    void Timer13_Timer();
    void Timer14_Timer();

protected:
    void Form_Load() override;

private:
    void BuildControls();
    static int Count(const QLineEdit* field);
    static void SetCount(QLineEdit* field, int value);

    double left_ = 0;
    int placedX_ = 0;
    int width_ = 0;
};
