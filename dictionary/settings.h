// The dictionary window's saved choices: the last search word and six
// controls, kept per user as text values in an INI file, and the readers that
// turn a stored text into a control's value.
#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace SettingsKey {
inline const QString kText = QStringLiteral("Text");
inline const QString kCheck1 = QStringLiteral("Check1");
inline const QString kCheck2 = QStringLiteral("Check2");
inline const QString kSlider1 = QStringLiteral("Slider-1");
inline const QString kCombo4 = QStringLiteral("Combo4");
inline const QString kCombo1 = QStringLiteral("Combo1");
inline const QString kSlider3 = QStringLiteral("Slider-3");
}  // namespace SettingsKey

// The six control choices as stored; a key never written reads as "".
struct SavedChoices {
    QString Check1, Check2, Slider1, Combo4, Combo1, Slider3;
};

// The seven values as they are written.
struct WindowSettings {
    QString Text, Check1, Check2, Slider1, Combo4, Combo1, Slider3;
};

// The user's settings file: application "Varin Dictionary", in the user's
// configuration folder, INI format. Reads of a missing or unreadable file
// give empty texts.
QString SettingsFilePath();
QString ReadSetting(const QString& key);
SavedChoices ReadSavedChoices();

// Empty values take their defaults; "Slider-3" has none and stays empty.
SavedChoices WithDefaults(SavedChoices choices);

// A whole number that fits [low, high], or nothing: a stored value that does
// not fit its control leaves the control as it was.
std::optional<int> LeadingNumberWithin(const QString& text, int low, int high);
// The voice list's index must be a number as a whole ("7", " 7 "), not "7a".
std::optional<int> WholeNumberWithin(const QString& text, int low, int high);

// Writes all seven at once: the file on disk is the old one or the new one,
// whole, never a mix. Returns an empty text, or what went wrong.
QString WriteWindowSettings(const WindowSettings& values);
