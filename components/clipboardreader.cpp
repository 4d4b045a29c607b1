#include "clipboardreader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringDecoder>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// How long an owner has to answer one request (or to hand over the next
// piece of a large text). Qt waits five seconds; a word copied by a program
// that needs longer than this to answer is tried again later.
constexpr auto kAnswerWait = std::chrono::milliseconds(2000);
// After an owner did not answer, it is asked again after this long, then
// twice as long each time up to a minute, for as long as it owns the clipboard.
constexpr auto kFirstRetry = std::chrono::milliseconds(3000);
constexpr auto kLastRetry = std::chrono::milliseconds(60000);
// Without XFixes nothing tells of a new owner: the text is fetched once a second.
constexpr auto kPollWithoutXFixes = std::chrono::milliseconds(1000);

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Event = std::unique_ptr<xcb_generic_event_t, FreeDeleter>;

template <typename T>
std::unique_ptr<T, FreeDeleter> Owned(T* p)
{
    return std::unique_ptr<T, FreeDeleter>(p);
}

}  // namespace

class ClipboardReader::Fetch {
public:
    explicit Fetch(int limit) : limit_(limit)
    {
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        thread_ = std::thread([this] { Run(); });
    }

    ~Fetch()
    {
        stopping_ = true;
        const uint64_t one = 1;
        if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {
            // The thread still sees stopping_ at its next wake-up.
        }
        thread_.join();
        if (wake_ >= 0)
            close(wake_);
    }

    QString Text() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }

private:
    enum class Outcome { Got, TimedOut, OwnerChanged, Stopped, Broken };
    enum class Answer { Text, Unanswered, OwnerChanged, Ended };

    void Run()
    {
        if (Connect())
            FetchUntilStopped();
        if (c_)
            xcb_disconnect(c_);
    }

    void FetchUntilStopped()
    {
        auto retryAt = Clock::time_point::max();
        auto retryDelay = kFirstRetry;
        bool fetch = true;   // the owner at start counts as a new one
        while (!stopping_) {
            if (fetch) {
                fetch = false;
                ownerChanged_ = false;
                QString text;
                switch (FetchText(&text)) {
                case Answer::Text:
                    Publish(text);
                    retryAt = xfixes_ ? Clock::time_point::max() : Clock::now() + kPollWithoutXFixes;
                    retryDelay = kFirstRetry;
                    break;
                case Answer::Unanswered:
                    // An owner that does not answer brings no new text: the
                    // last one stays, and it is asked again later.
                    retryAt = Clock::now() + retryDelay;
                    retryDelay = std::min(retryDelay * 2, kLastRetry);
                    break;
                case Answer::OwnerChanged: fetch = true; break;
                case Answer::Ended: return;
                }
                continue;
            }
            Event none;
            switch (Wait(nullptr, retryAt, true, &none)) {
            case Outcome::OwnerChanged:
                retryDelay = kFirstRetry;
                fetch = true;
                break;
            case Outcome::TimedOut: fetch = true; break;
            case Outcome::Got: break;
            case Outcome::Stopped:
            case Outcome::Broken: return;
            }
        }
    }

    bool Connect()
    {
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_)) {
            qWarning("Varin: cannot reach the X server for the clipboard; copied words are not looked up");
            return false;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        if (!it.rem)
            return false;
        window_ = xcb_generate_id(c_);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        clipboard_ = Atom("CLIPBOARD");
        utf8_ = Atom("UTF8_STRING");
        incr_ = Atom("INCR");
        property_ = Atom("VARIN_CLIPBOARD");
        clock_ = Atom("VARIN_CLOCK");

        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_xfixes_id);
        if (ext && ext->present) {
            auto version = Owned(xcb_xfixes_query_version_reply(c_, xcb_xfixes_query_version(c_, 5, 0), nullptr));
            if (version) {
                xfixes_ = true;
                xfixesNotify_ = ext->first_event + XCB_XFIXES_SELECTION_NOTIFY;
                xcb_xfixes_select_selection_input(c_, window_, clipboard_,
                                                  XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                                      | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                                      | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            }
        }
        xcb_flush(c_);
        return !xcb_connection_has_error(c_);
    }

    xcb_atom_t Atom(const char* name)
    {
        auto r = Owned(xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // Waits for an event that `match` accepts, until `deadline`. A change of
    // the clipboard's owner is noted, and ends the wait when `ownerEnds`.
    Outcome Wait(const std::function<bool(const xcb_generic_event_t*)>& match, Clock::time_point deadline,
                 bool ownerEnds, Event* out)
    {
        for (;;) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(c_)) {
                Event ev(raw);
                const uint8_t type = raw->response_type & 0x7f;
                if (xfixes_ && type == xfixesNotify_)
                    ownerChanged_ = true;
                else if (match && match(raw)) {
                    *out = std::move(ev);
                    return Outcome::Got;
                }
            }
            if (xcb_connection_has_error(c_))
                return Outcome::Broken;
            if (stopping_)
                return Outcome::Stopped;
            if (ownerEnds && ownerChanged_)
                return Outcome::OwnerChanged;
            int timeout = -1;
            if (deadline != Clock::time_point::max()) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
                if (left <= 0)
                    return Outcome::TimedOut;
                timeout = int(std::min<long long>(left, 60000));
            }
            pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {wake_, POLLIN, 0}};
            poll(fds, wake_ >= 0 ? 2 : 1, timeout);
        }
    }

    // Accepts a new value of the property `atom` of our window.
    std::function<bool(const xcb_generic_event_t*)> PropertyChanged(xcb_atom_t atom) const
    {
        return [this, atom](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                return false;
            auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
            return p->window == window_ && p->atom == atom && p->state == XCB_PROPERTY_NEW_VALUE;
        };
    }

    // A time from the server's own clock, which owners compare with the time
    // they took the clipboard: a zero-length append to a property of our own
    // window, whose notification carries it.
    Outcome ServerTime(xcb_timestamp_t* time)
    {
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, window_, clock_, XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(c_);
        Event ev;
        const Outcome o = Wait(PropertyChanged(clock_), Clock::now() + kAnswerWait, false, &ev);
        if (o == Outcome::Got)
            *time = reinterpret_cast<xcb_property_notify_event_t*>(ev.get())->time;
        return o;
    }

    Answer Ended(Outcome o) const
    {
        switch (o) {
        case Outcome::TimedOut: return Answer::Unanswered;
        case Outcome::OwnerChanged: return Answer::OwnerChanged;
        default: return Answer::Ended;
        }
    }

    // Asks the owner for its text as UTF-8, else as Latin-1. An owner that
    // refuses both (a picture, say) or no owner at all gives the empty text.
    Answer FetchText(QString* text)
    {
        xcb_timestamp_t time = 0;
        // A server too busy to tell the time: ask again, nothing is known yet.
        if (Outcome o = ServerTime(&time); o != Outcome::Got)
            return o == Outcome::TimedOut ? Answer::OwnerChanged : Ended(o);
        for (xcb_atom_t target : {utf8_, xcb_atom_t(XCB_ATOM_STRING)}) {
            xcb_convert_selection(c_, window_, clipboard_, target, property_, time);
            xcb_flush(c_);
            Event ev;
            const Outcome o = Wait(
                [this, time, target](const xcb_generic_event_t* e) {
                    if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                        return false;
                    auto* n = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
                    // An answer to an earlier request that came too late is not this one.
                    return n->requestor == window_ && n->selection == clipboard_ && n->target == target
                           && (n->time == time || n->time == XCB_CURRENT_TIME);
                },
                Clock::now() + kAnswerWait, true, &ev);
            if (o != Outcome::Got)
                return Ended(o);
            if (reinterpret_cast<xcb_selection_notify_event_t*>(ev.get())->property == XCB_ATOM_NONE)
                continue;
            return ReadProperty(text);
        }
        text->clear();
        return Answer::Text;
    }

    // Bytes enough for `limit_` UTF-16 units of UTF-8 (three a unit at most),
    // in the 32-bit units a property is read in.
    uint32_t WantedLongs() const { return uint32_t(limit_ * 3 + 3) / 4; }

    QString Decode(const QByteArray& bytes, xcb_atom_t type) const
    {
        if (type == XCB_ATOM_STRING)
            return QString::fromLatin1(bytes).left(limit_);
        // A character cut at the end of what was read is left out.
        QStringDecoder utf8(QStringDecoder::Utf8);
        return QString(utf8.decode(bytes)).left(limit_);
    }

    Answer ReadProperty(QString* text)
    {
        auto r = Owned(xcb_get_property_reply(
            c_, xcb_get_property(c_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, WantedLongs()), nullptr));
        if (!r) {
            text->clear();
            return Answer::Text;
        }
        if (r->type == incr_)
            return ReadIncremental(text);   // reading INCR deleted it: the owner starts sending
        const QByteArray bytes(static_cast<const char*>(xcb_get_property_value(r.get())),
                               xcb_get_property_value_length(r.get()));
        if (r->bytes_after > 0)   // only a whole read deletes the property by itself
            xcb_delete_property(c_, window_, property_);
        xcb_flush(c_);
        *text = Decode(bytes, r->type);
        return Answer::Text;
    }

    // A large text comes in pieces, each put into the property once the
    // previous one is deleted, until an empty one. Owners such as xclip serve
    // nobody else while such a transfer is open, so it is followed to its end;
    // but of each piece only what is still wanted is read, the rest is deleted
    // on the server unread.
    Answer ReadIncremental(QString* text)
    {
        xcb_flush(c_);
        QByteArray kept;
        xcb_atom_t type = XCB_ATOM_NONE;
        const uint32_t wantedBytes = WantedLongs() * 4;
        for (;;) {
            Event ev;
            const Outcome o = Wait(PropertyChanged(property_), Clock::now() + kAnswerWait, false, &ev);
            if (o == Outcome::TimedOut)
                break;   // the owner stopped sending: keep what came
            if (o != Outcome::Got)
                return Ended(o);
            const uint32_t longs = kept.size() < qsizetype(wantedBytes) ? (wantedBytes - kept.size() + 3) / 4 : 0;
            auto r = Owned(xcb_get_property_reply(
                c_, xcb_get_property(c_, 0, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, longs), nullptr));
            xcb_delete_property(c_, window_, property_);
            xcb_flush(c_);
            if (!r)
                break;
            const int length = xcb_get_property_value_length(r.get());
            if (length == 0 && r->bytes_after == 0)
                break;   // the empty piece: the whole text has come
            if (type == XCB_ATOM_NONE)
                type = r->type;
            kept.append(static_cast<const char*>(xcb_get_property_value(r.get())),
                        std::min<qsizetype>(length, wantedBytes - kept.size()));
        }
        *text = Decode(kept, type);
        return Answer::Text;
    }

    void Publish(const QString& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = text;
    }

    const int limit_;
    int wake_ = -1;
    std::atomic<bool> stopping_{false};
    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_atom_t clipboard_ = 0, utf8_ = 0, incr_ = 0, property_ = 0, clock_ = 0;
    bool xfixes_ = false;
    uint8_t xfixesNotify_ = 0;
    bool ownerChanged_ = false;
    mutable std::mutex mutex_;
    QString text_;
    std::thread thread_;
};

ClipboardReader::ClipboardReader(int limit, QObject* parent) : QObject(parent), limit_(limit)
{
    // The X path serves Xwayland too, where the platform is xcb as well.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        fetch_ = std::make_unique<Fetch>(limit);
}

ClipboardReader::~ClipboardReader() = default;

QString ClipboardReader::Text() const
{
    if (fetch_)
        return fetch_->Text();
    return QGuiApplication::clipboard()->text().left(limit_);
}
