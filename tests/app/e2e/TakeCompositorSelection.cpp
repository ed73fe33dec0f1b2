// Stands in for a compositing manager in the end-to-end tests: takes the selection
// _NET_WM_CM_S<screen> of DISPLAY, prints "owned" and keeps it until it is killed.
#include <unistd.h>

#include <cstdio>
#include <string>

#include <xcb/xcb.h>

int main() {
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c) != 0) {
        std::fputs("orvelle: 无法连接 X 服务器\n", stderr);
        return 1;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen; ++i) {
        xcb_screen_next(&roots);
    }
    const xcb_window_t owner = xcb_generate_id(c);
    xcb_create_window(c, 0, owner, roots.data->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      roots.data->root_visual, 0, nullptr);
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (atom == nullptr) {
        return 1;
    }
    xcb_set_selection_owner(c, owner, atom->atom, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::puts("owned");
    std::fflush(stdout);
    pause();
}
