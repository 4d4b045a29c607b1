// The one message box through which the program informs and asks: Kurdish
// prompts, right to left, with their zero-width non-joiners kept as they are.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

constexpr qint32 kMbOk = 0x0;
constexpr qint32 kMbOkCancel = 0x1;
constexpr qint32 kMbIconError = 0x10;
constexpr qint32 kMbIconMask = 0xF0;
constexpr qint32 kMbUserIcon = 0x80;
constexpr qint32 kMbRtlReading = 0x100000;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The application title, shown when a caller passes an empty title.
QString ApplicationTitle();

// The dictionary's name in Kurdish: the title every notice of the program
// passes, and the start of the main window's caption.
QString DictionaryName();

// One call as the user would see it, after the owner, title and flags are
// resolved.
struct MsgBoxCall {
    QString prompt;
    qint32 flags = 0;
    QString title;
    QString iconName;
    QWidget* owner = nullptr;
};

// Shows the box and returns the button pressed (1 OK, 2 Cancel, 0 when no box
// could be made). Tests install their own to see every call and answer it.
using MsgBoxPresenter = std::function<int(const MsgBoxCall&)>;
void SetMsgBoxPresenter(MsgBoxPresenter presenter);   // empty: the real box

// owner: -1 for the active window (none when there is none); 0 for no owner;
// otherwise a window id.
int UnicodeMsgBox(const QString& prompt, qint32 flags, const QString& title,
                  const QString& iconName = QString(), qintptr owner = -1);

// The resolution steps on their own, so tests can check them as a table.
MsgBoxCall ResolveMsgBoxCall(const QString& prompt, qint32 flags, const QString& title,
                             const QString& iconName, qintptr owner);
