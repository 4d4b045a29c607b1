// How a text is cut for synthesis: into pieces of a sentence at most, and
// each piece into runs of one script, the Arabic-script runs going to the
// Kurdish voice. Shared by the synthesis thread's files.
#pragma once

#include "espeak.h"

#include <QString>

namespace espeak {

// Where the piece that starts at `pos` ends: after its sentence, or at a
// space or comma before the limit.
qsizetype PieceEnd(const QString& text, qsizetype pos);

// Where the run of one script that starts at `pos` ends, before `limit`, and
// whether it is Arabic script. Spaces, digits and punctuation go with the run
// they follow; a text with no letter at all is the chosen voice's.
qsizetype RunEnd(const QString& text, qsizetype pos, qsizetype limit, bool* arabic);

// Sorani is read by eSpeak NG's Kurdish voice, in the Latin letters it reads,
// with the chosen voice's variant, speed, loudness and pitch.
EspeakVoice KurdishVoice(const EspeakVoice& chosen);

}  // namespace espeak
