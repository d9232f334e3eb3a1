#pragma once
// Resource identifiers, shared by the resource scripts and the code.

#define BELLWICK_ICON 1            // the icon group
#define BELLWICK_ICON_IMAGE 30001  // its one image
