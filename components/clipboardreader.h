// The clipboard's text, read so that a slow or hung owner holds up nothing
// but the read. On X11 the text belongs to another program, and asking for it
// means waiting for that program's answer: here a thread of its own, on a
// connection of its own, asks again only when the clipboard's owner changes
// (XFixes tells it), gives each answer a deadline, and keeps no more than the
// first characters the caller wants. Text() only hands over what that thread
// fetched last, so it never waits.
//
// Elsewhere the platform's own clipboard is read at each call: offscreen it
// lives in this process; on native Wayland the compositor offers it only to
// the program that has the focus, so it reads as empty otherwise.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class ClipboardReader : public QObject {
public:
    // Keeps at most `limit` characters (UTF-16 units) of the text.
    explicit ClipboardReader(int limit, QObject* parent = nullptr);
    ~ClipboardReader() override;   // ends the fetch at once, answered or not

    // The text as last fetched: empty while none has arrived or when the
    // clipboard holds no text; an owner that does not answer in time leaves
    // the text before it in place.
    QString Text() const;

    class Fetch;

private:
    int limit_;
    std::unique_ptr<Fetch> fetch_;   // null where the platform's clipboard is read
};
