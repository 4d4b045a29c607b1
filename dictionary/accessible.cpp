// The dictionary window as a screen reader presents it.
#include "varin2.h"

#include "lookup.h"
#include "texts.h"
#include "runtime/accessibility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>

void Varin2::NameControls()
{
    using namespace Varin2Name;
    // The buttons with a caption are named by it, the counts label by the
    // counts it shows, TE3 by the number it shows.
    SetAccessible({
        {Frame1, kFrame1, QStringLiteral("Type")},
        {Frame2, kFrame2, QStringLiteral("Key")},
        {Frame3, kFrame3, QStringLiteral("Dictionary")},
        {Text, kText},
        {Command4, kCommand4, kCommand4About},
        {Text4, kText4},
        {Text1, kText1, kText1About},
        {DataGrid1, kDataGrid1, kDataGrid1About},
        {Picture1, kPicture1, kPicture1About},
        {Check2, kCheck2},
        {Check1, kCheck1},
        {Combo1, kCombo1, kCombo1About},
        {Combo4, kCombo4, kCombo4About},
        {Slider1, kSlider1, kSlider1About},
        {Slider3, kSlider3, kSlider3About},
        {Label2, kLabel2, kLabel2About},
    });
    TE3->setAccessibleDescription(kTE3About);
    // TE3 labels the match-mode slider, which speaks its value as TE3 shows it.
    TE3->setBuddy(Slider3);
    SetSliderReading(Slider3, {MatchModeNumber, kPercent});
    SetSliderReading(Slider1, PositionReading());
}
