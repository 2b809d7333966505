// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing another process's windows forward, on X11 through the window manager's
// pager requests (_NET_WM_STATE and _NET_ACTIVE_WINDOW, which a window manager honours
// from a pager without its focus-stealing rules).
#include "platform/foreign_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

namespace {

struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  const Reply<xcb_intern_atom_reply_t> r(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
  return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<xcb_window_t> windowList(xcb_connection_t* c, xcb_window_t root, xcb_atom_t property) {
  const Reply<xcb_get_property_reply_t> r(
      xcb_get_property_reply(c, xcb_get_property(c, 0, root, property, XCB_ATOM_WINDOW, 0, 4096), nullptr));
  if (!r || r->format != 32) return {};
  const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(r.get()));
  return {ids, ids + xcb_get_property_value_length(r.get()) / 4};
}

qint64 windowPid(xcb_connection_t* c, xcb_window_t w, xcb_atom_t pidAtom) {
  const Reply<xcb_get_property_reply_t> r(
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
  if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4) return -1;
  return *static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
}

void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t w, xcb_atom_t type, uint32_t d0, uint32_t d1,
                uint32_t d2) {
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = w;
  e.type = type;
  e.data.data32[0] = d0;
  e.data.data32[1] = d1;
  e.data.data32[2] = d2;
  e.data.data32[3] = 0;
  xcb_send_event(c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&e));
}

}  // namespace

bool bringProcessWindowsForward(qint64 pid) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || pid <= 0) return false;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (!screen) return false;
  const xcb_window_t root = screen->root;
  const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID"), state = atom(c, "_NET_WM_STATE"),
                   above = atom(c, "_NET_WM_STATE_ABOVE"), active = atom(c, "_NET_ACTIVE_WINDOW");
  bool found = false;
  for (xcb_window_t w : windowList(c, root, atom(c, "_NET_CLIENT_LIST"))) {
    if (windowPid(c, w, pidAtom) != pid) continue;
    found = true;
    constexpr uint32_t kAdd = 1, kFromPager = 2;
    sendToRoot(c, root, w, state, kAdd, above, 0);
    sendToRoot(c, root, w, active, kFromPager, XCB_CURRENT_TIME, 0);
  }
  xcb_flush(c);
  return found;
}

}  // namespace platform
