"""Where things are in Bellwick's window, in window pixels. The Linux and
the Windows program share the layout, and so their drivers share these."""

import math

WINDOW = (458, 377)

# Control centres.
CHECK1 = (175, 122)
TEXT1 = (224, 85)
TXTFILE = (226, 296)
BROWSE = (228, 349)
IMAGE3 = (228, 227)  # the badge
BANNER = (60, 120)

# The clock's rectangle (left, top, right, bottom).
LABEL1 = (141, 48, 310, 65)

# Window rectangles of the layout (left, top, right, bottom) that make the
# region; the Media box lies outside the window and still belongs to it.
OUTLINES = [
    (13, 18, 445, 162),    # Image1
    (107, 162, 137, 306),  # Image2(0)
    (316, 163, 346, 307),  # Image2(1)
    (176, 179, 281, 275),  # Image3
    (138, 286, 314, 307),  # txtFile
    (153, 341, 304, 357),  # cmdBrowse
    (542, 368, 751, 513),  # Media
    (226, 309, 228, 341),  # Line1's band
]


def pixels(rects):
    return {(x, y) for l, t, r, b in rects for x in range(l, r) for y in range(t, b)}


def scaled(v, dpi):
    """A layout length in pixels at dpi, to the nearest pixel, halves up."""
    return math.floor(v * dpi / 96 + 0.5)


def scaled_box(box, dpi):
    return tuple(scaled(v, dpi) for v in box)
