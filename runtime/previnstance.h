// Whether another copy of the dictionary is already running for this user.
//
// Every running copy holds a shared advisory lock on one file in the
// user's runtime folder for as long as it lives. A start that cannot take the
// lock exclusively knows another copy holds it. The kernel drops the lock
// with the process however it ends, so a copy that crashed or was killed
// leaves nothing behind that would make later starts warn.
#pragma once

#include <QString>

// $XDG_RUNTIME_DIR/VarinDic.lock, or /tmp/VarinDic-<uid>.lock without one.
QString DefaultInstanceLockPath();

// Checked once, on the first call, which also takes this copy's share of the
// lock; later calls return the same answer.
bool PrevInstance();

// Points the check at another lock file and forgets the answer: the lock this
// process holds is released and the next PrevInstance() checks afresh. Tests
// use it; the program never does.
void UseInstanceLockPath(const QString& path);
