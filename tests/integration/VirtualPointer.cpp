// wayland-virtual-pointer: gives a headless compositor's seat a pointer.
//
// sway without input devices offers its clients no pointer at all, so
// "swaymsg seat seat0 cursor move" would reach no window. This client adds a
// virtual pointer (the wlroots virtual-pointer protocol, which sway, Hyprland
// and others offer) and keeps it until the compositor goes; the tests then
// move and press it with swaymsg. Exits 1 when the compositor has no such
// protocol.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace {

// The protocol's two interfaces, written out by hand: only the requests
// matter to a client, and only the first of each is made here.
extern const wl_interface kPointerInterface;
const wl_interface* const kCreateTypes[] = {&wl_seat_interface, &kPointerInterface};
const wl_interface* const kNoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};
const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", const_cast<const wl_interface**>(kCreateTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNoTypes)},
};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};
const wl_message kPointerRequests[] = {
    {"motion", "uff", const_cast<const wl_interface**>(kNoTypes)},
    {"motion_absolute", "uuuuu", const_cast<const wl_interface**>(kNoTypes)},
    {"button", "uuu", const_cast<const wl_interface**>(kNoTypes)},
    {"axis", "uuf", const_cast<const wl_interface**>(kNoTypes)},
    {"frame", "", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_source", "u", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_stop", "uu", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_discrete", "uufi", const_cast<const wl_interface**>(kNoTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNoTypes)},
};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                        kPointerRequests,          0, nullptr};

struct Globals {
  wl_seat* Seat = nullptr;
  wl_proxy* Manager = nullptr;
};

void Announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->Seat == nullptr) {
    globals->Seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, kManagerInterface.name) == 0) {
    globals->Manager =
        static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
  }
}

void Withdraw(void*, wl_registry*, uint32_t) {}

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "wayland-virtual-pointer: no Wayland display\n");
    return 1;
  }
  Globals globals;
  const wl_registry_listener listener = {Announce, Withdraw};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &globals);
  wl_display_roundtrip(display);
  if (globals.Manager == nullptr) {
    std::fprintf(stderr, "wayland-virtual-pointer: the compositor has no virtual pointers\n");
    return 1;
  }
  wl_proxy* pointer =
      wl_proxy_marshal_constructor(globals.Manager, 0, &kPointerInterface, globals.Seat, nullptr);
  wl_display_roundtrip(display);
  while (wl_display_dispatch(display) >= 0) {
  }
  wl_proxy_destroy(pointer);
  wl_display_disconnect(display);
  return 0;
}
