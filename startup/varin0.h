// The splash window: a borderless banner that fades in, holds, loads the
// dictionary window while fully opaque, fades out and hands over to it.
#pragma once

#include "runtime/forms.h"
#include "runtime/runtime.h"

#include <QPixmap>

class Varin0 : public Form {
    Q_OBJECT
public:
    Varin0();

    FormTimer* Timer;    // fade-in ticks
    FormTimer* Timer3;   // hold at full opacity, then load the dictionary
    FormTimer* Timer2;   // fade-out ticks
    FormTimer* Timer1;   // pause while transparent, then hand over
    SkinComponent Skin1;

    // The fade's only state between ticks: 0 to 250 and back, in steps of 25.
    int FadeLevel = 0;

    // The alpha last given to the window, 0 transparent to 255 opaque. Kept
    // here because a platform without a compositor may not report it back.
    int Opacity() const { return opacity_; }

    void Timer_Timer();
    void Timer3_Timer();
    void Timer2_Timer();
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetOpacity(int alpha);

    QPixmap banner_;
    int opacity_ = 255;   // a new window is opaque
};
