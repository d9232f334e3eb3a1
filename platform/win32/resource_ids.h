#pragma once
// Resource identifiers, shared by the resource scripts and the code.

#define BELLWICK_ICON 1           // icon group
#define BELLWICK_ICON_IMAGE 30001 // its one image
#define BELLWICK_BANNER 101       // Image1, GIF
#define BELLWICK_BAR 102          // Image2, JPEG
#define BELLWICK_BADGE 103        // Image3, JPEG
