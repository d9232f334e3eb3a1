"""Where things are in Bellwick's window, in window pixels. The Linux and
the Windows program share the layout, and so their drivers share these."""

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
