// `cursor_check`: exit 0 when the X server shows no pointer (the cursor image under it is all
// transparent), 1 when it shows one, 2 when it can't tell. Reads the image through XFixes.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    int events = 0, errors = 0;
    if (!display || !XFixesQueryExtension(display, &events, &errors)) return 2;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return 2;
    int visible = 0;
    for (int i = 0; i < image->width * image->height; ++i) visible += (image->pixels[i] >> 24) != 0;
    if (visible)
        std::printf("a %dx%d pointer at %d,%d\n", image->width, image->height, image->x, image->y);
    XFree(image);
    XCloseDisplay(display);
    return visible ? 1 : 0;
}
