// A program that owns the X clipboard, for the desktop tests and the
// benchmark. It takes the clipboard, prints "owner", and then for every
// request for the clipboard's contents prints "request" and either
//   hang          never answers, as a program that hangs;
//   answer TEXT   answers with TEXT (UTF8_STRING or STRING; TARGETS too).
// A line "take" on its input takes the clipboard again (a new copy in the
// same program); the end of its input ends it.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Events that came while waiting for another one, handled after it.
std::vector<xcb_generic_event_t*> deferred;

xcb_generic_event_t* NextEvent(xcb_connection_t* c)
{
    if (deferred.empty())
        return xcb_poll_for_event(c);
    xcb_generic_event_t* e = deferred.front();
    deferred.erase(deferred.begin());
    return e;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// Takes the clipboard at a time the server gives (a property change's).
void Take(xcb_connection_t* c, xcb_window_t w, xcb_atom_t clipboard)
{
    xcb_change_property(c, XCB_PROP_MODE_APPEND, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(c);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
            deferred.push_back(e);
            continue;
        }
        time = reinterpret_cast<xcb_property_notify_event_t*>(e)->time;
        std::free(e);
        break;
    }
    xcb_set_selection_owner(c, w, clipboard, time);
    xcb_get_selection_owner_reply_t* r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const bool owns = r && r->owner == w;
    std::free(r);
    std::printf(owns ? "owner\n" : "not owner\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool answer = argc >= 3 && std::strcmp(argv[1], "answer") == 0;
    if (!answer && !(argc >= 2 && std::strcmp(argv[1], "hang") == 0)) {
        std::fprintf(stderr, "usage: %s hang | answer TEXT\n", argv[0]);
        return 2;
    }
    const std::string text = answer ? argv[2] : "";
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "clipowner: no X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t clipboard = Atom(c, "CLIPBOARD");
    const xcb_atom_t utf8 = Atom(c, "UTF8_STRING");
    const xcb_atom_t targets = Atom(c, "TARGETS");
    Take(c, w, clipboard);

    std::string line;
    for (;;) {
        // Events that came in with a reply wait in the queue, not on the socket.
        while (xcb_generic_event_t* e = NextEvent(c)) {
            if ((e->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                auto* req = reinterpret_cast<xcb_selection_request_event_t*>(e);
                std::printf("request\n");
                std::fflush(stdout);
                if (answer) {
                    xcb_atom_t property = req->property ? req->property : req->target;
                    if (req->target == utf8 || req->target == XCB_ATOM_STRING) {
                        xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, req->target, 8,
                                            uint32_t(text.size()), text.data());
                    } else if (req->target == targets) {
                        const xcb_atom_t offered[] = {targets, utf8, XCB_ATOM_STRING};
                        xcb_change_property(c, XCB_PROP_MODE_REPLACE, req->requestor, property, XCB_ATOM_ATOM, 32, 3,
                                            offered);
                    } else {
                        property = XCB_ATOM_NONE;
                    }
                    xcb_selection_notify_event_t n{};
                    n.response_type = XCB_SELECTION_NOTIFY;
                    n.time = req->time;
                    n.requestor = req->requestor;
                    n.selection = req->selection;
                    n.target = req->target;
                    n.property = property;
                    xcb_send_event(c, 0, req->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&n));
                    xcb_flush(c);
                }
            }
            std::free(e);
        }
        if (xcb_connection_has_error(c))
            return 1;
        pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {0, POLLIN, 0}};
        poll(fds, 2, -1);
        if (fds[1].revents) {
            char buf[256];
            const ssize_t n = read(0, buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, size_t(n));
            for (size_t nl; (nl = line.find('\n')) != std::string::npos; line.erase(0, nl + 1))
                if (line.compare(0, nl, "take") == 0)
                    Take(c, w, clipboard);
        }
    }
    xcb_disconnect(c);
    return 0;
}
