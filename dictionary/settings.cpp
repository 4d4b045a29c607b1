#include "settings.h"

#include "lookup.h"
#include "runtime/runtime.h"
#include "texts.h"
#include "varin2.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <utility>

namespace {

const QString kGroup = QStringLiteral("Settings");

QSettings UserSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Varin"),
                     QStringLiteral("Varin Dictionary"));
}

// A value that is not text (a list, say, from a hand-edited file) reads as
// its first item, never as a failure.
QString TextValue(const QSettings& s, const QString& name)
{
    const QVariant v = s.value(kGroup + u'/' + name);
    return v.typeId() == QMetaType::QStringList ? v.toStringList().value(0) : v.toString();
}

}  // namespace

QString SettingsFilePath()
{
    return UserSettings().fileName();
}

QString ReadSetting(const QString& key)
{
    return TextValue(UserSettings(), key);
}

SavedChoices ReadSavedChoices()
{
    const QSettings s = UserSettings();
    const auto read = [&s](const QString& key) { return TextValue(s, key); };
    SavedChoices c;
    c.Check1 = read(SettingsKey::kCheck1);
    c.Check2 = read(SettingsKey::kCheck2);
    c.Slider1 = read(SettingsKey::kSlider1);
    c.Combo4 = read(SettingsKey::kCombo4);
    c.Combo1 = read(SettingsKey::kCombo1);
    c.Slider3 = read(SettingsKey::kSlider3);
    return c;
}

SavedChoices WithDefaults(SavedChoices c)
{
    if (c.Combo1.isEmpty())
        c.Combo1 = QStringLiteral("12");
    if (c.Check1.isEmpty())
        c.Check1 = QStringLiteral("1");
    if (c.Check2.isEmpty())
        c.Check2 = QStringLiteral("1");
    if (c.Slider1.isEmpty())
        c.Slider1 = QStringLiteral("3");
    if (c.Combo4.isEmpty())
        c.Combo4 = QStringLiteral("7");
    return c;
}

namespace {

// The range is tested on the rounded number itself, before it becomes an
// int: a hand-edited 4294967308 is far beyond a list of 26, not item 12.
std::optional<int> RoundedWithin(double number, int low, int high)
{
    const double n = std::nearbyint(number);
    if (!(n >= low && n <= high))   // also false for an infinity or NaN
        return std::nullopt;
    return static_cast<int>(n);
}

}  // namespace

std::optional<int> LeadingNumberWithin(const QString& text, int low, int high)
{
    return RoundedWithin(LeadingValue(text), low, high);
}

std::optional<int> WholeNumberWithin(const QString& text, int low, int high)
{
    // A whole text that reads as a number; a decimal one is rounded.
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return RoundedWithin(d, low, high);
}

QString WriteWindowSettings(const WindowSettings& v)
{
    QSettings s = UserSettings();
    if (!QDir().mkpath(QFileInfo(s.fileName()).absolutePath()))
        return QStringLiteral("cannot make the folder %1").arg(QFileInfo(s.fileName()).absolutePath());
    // QSettings writes the whole file anew beside the old one and renames it
    // over the old; with atomic sync required it never falls back to writing
    // into the old file in place, so a crash or a full disk cannot leave a
    // half-written file behind.
    s.setAtomicSyncRequired(true);
    s.beginGroup(kGroup);
    s.setValue(SettingsKey::kText, v.Text);
    s.setValue(SettingsKey::kCheck1, v.Check1);
    s.setValue(SettingsKey::kCheck2, v.Check2);
    s.setValue(SettingsKey::kSlider1, v.Slider1);
    s.setValue(SettingsKey::kCombo4, v.Combo4);
    s.setValue(SettingsKey::kCombo1, v.Combo1);
    s.setValue(SettingsKey::kSlider3, v.Slider3);
    s.endGroup();
    s.sync();
    if (s.status() == QSettings::AccessError)
        return QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(s.fileName()));
    return QString();
}

// ---- The dictionary window's part: restore, counts, save and close ----

namespace {

// The number of entries the built-in list brings: the rest were added by users.
constexpr int kBuiltInEntries = 10002;

void SetCheck(QCheckBox* box, const QString& stored)
{
    const auto v = LeadingNumberWithin(stored, 0, 1);
    if (!v)
        throw RuntimeError(QStringLiteral("no such check box value"));
    box->setChecked(*v == 1);
}

// A list's handler runs on the user's pick (activated), not on every change of
// its index, so a restored choice raises that notification itself, as a pick
// would; an unchanged index raises nothing.
void SetListIndex(QComboBox* list, std::optional<int> index)
{
    if (!index || *index >= list->count())
        throw RuntimeError(QStringLiteral("no such list item"));
    if (list->currentIndex() == *index)
        return;
    list->setCurrentIndex(*index);
    emit list->activated(*index);
}

void SetSliderValue(QSlider* slider, std::optional<int> value)
{
    if (!value)
        throw RuntimeError(QStringLiteral("beyond the slider"));
    slider->setValue(*value);
}

}  // namespace

void Varin2::ConnectSettings()
{
    connect(Timer8, &FormTimer::Timer, this, [this] { Timer8_Timer(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Unguarded("Command4_Click", [this] { Command4_Click(); }); });
}

// R1 to R3: read the six choices, give the missing ones their defaults, and
// set the match mode.
void Varin2::RestoreFirstChoices()
{
    ResumeNext({
        [this] { saved_ = ReadSavedChoices(); },
        [this] { saved_ = WithDefaults(saved_); },
        [this] {
            // A missing key gives 0, not a default.
            SetSliderValue(Slider3, LeadingNumberWithin(saved_.Slider3, Slider3->minimum(), Slider3->maximum()));
        },
        [this] { TE3->setCaption(QString::number(MatchModeNumber(Slider3->value()))); },
    });
}

// R4 to R6, once the pitch list is filled.
void Varin2::RestoreListAndChecks()
{
    ResumeNext({
        [this] { SetListIndex(Combo1, LeadingNumberWithin(saved_.Combo1, 0, Combo1->count() - 1)); },
        [this] { Check1->setText(LeadingNumber(saved_.Check1) == 1 ? Varin2Text::kYes : Varin2Text::kNo); },
        [this] { Check2->setText(LeadingNumber(saved_.Check2) == 1 ? Varin2Text::kYes : Varin2Text::kNo); },
        [this] { SetCheck(Check1, saved_.Check1); },
        [this] { SetCheck(Check2, saved_.Check2); },
    });
}

// R7 and R8, once the voice list is filled.
void Varin2::RestoreVoiceAndSpeed()
{
    ResumeNext({
        [this] { SetListIndex(Combo4, WholeNumberWithin(saved_.Combo4, 0, Combo4->count() - 1)); },
        [this] { SetSliderValue(Slider1, LeadingNumberWithin(saved_.Slider1, Slider1->minimum(), Slider1->maximum())); },
    });
}

// One shot: the counts of the current result, the first entry, and the
// search word saved at the end of the last run.
void Varin2::Timer8_Timer()
{
    ResumeNext({
        [this] { Data1->MoveLast(); },
        [this] { Text7->setText(QString::number(Data1->RecordCount())); },
        [this] { Text6->setText(QString::number(LeadingNumber(Text7->text()) - kBuiltInEntries)); },
        [this] { Label->setCaption(Varin2Text::kLabel + Text7->text()); },
        [this] { Label1->setCaption(Varin2Text::kLabel1 + Text6->text()); },
        [this] { Data1->MoveFirst(); },
        [this] { Text->setText(ReadSetting(SettingsKey::kText)); },
        [this] { Timer8->setInterval(0); },
    });
}

void Varin2::SaveWindowSettings()
{
    WindowSettings v;
    // Only spaces are trimmed: what the user typed stays as it was.
    QString text = Text->text();
    while (text.startsWith(u' '))
        text.remove(0, 1);
    while (text.endsWith(u' '))
        text.chop(1);
    v.Text = text;
    v.Check1 = QString::number(Check1->isChecked() ? 1 : 0);
    v.Check2 = QString::number(Check2->isChecked() ? 1 : 0);
    v.Slider1 = QString::number(Slider1->value());
    v.Combo4 = QString::number(Combo4->currentIndex());
    v.Combo1 = QString::number(Combo1->currentIndex());
    v.Slider3 = QString::number(Slider3->value());
    const QString problem = WriteWindowSettings(v);
    if (!problem.isEmpty())
        throw RuntimeError(problem);
}

void Varin2::Command4_Click()
{
    ending_ = true;
    try {
        SaveWindowSettings();
    } catch (const std::exception& e) {
        // The program still ends, but not before the user knows that this
        // run's choices are lost; the old file is left as it was.
        UnicodeMsgBox(Varin2Text::kSaveFailed.arg(QDir::toNativeSeparators(SettingsFilePath()),
                                                  QString::fromUtf8(e.what())),
                      kMbRtlReading | kMbIconError, DictionaryName(), QString(),
                      isVisible() ? static_cast<qintptr>(winId()) : -1);
    }
    EndProgram();
}

void Varin2::EndProgram()
{
    ending_ = true;
    // Every window goes away and no timer ticks again; the event loop ends.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (FormTimer* timer : window->findChildren<FormTimer*>())
            timer->setInterval(0);
        window->hide();
    }
    QCoreApplication::exit(0);
}

void Varin2::closeEvent(QCloseEvent* event)
{
    // The frame's close button and Alt+F4 do what "X" does: save and end.
    if (!ending_)
        Unguarded("Command4_Click", [this] { Command4_Click(); });
    event->accept();
}

void Varin2::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    // A store that could not be opened is told once the window stands, owned
    // by it, after the hand-over has armed the timer that restores the
    // search word: the box waits on the user while the window goes on.
    if (!storeNotice_.isEmpty())
        QTimer::singleShot(0, this, [this] {
            const QString notice = std::exchange(storeNotice_, QString());
            if (!notice.isEmpty())
                UnicodeMsgBox(notice, kMbRtlReading | kMbIconError, DictionaryName(), QString(),
                              static_cast<qintptr>(winId()));
        });
}
