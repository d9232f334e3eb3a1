#pragma once
// How the controls are painted beyond their layout, for every toolkit: the
// colours of each state, the frames, the stand-in for a picture that cannot
// be shown and the file that holds each picture.

#include "window/control.h"

#include <string_view>

namespace bellwick::look {

// A control's colours; black where the layout gives none.
Rgb back(const Control& c);
Rgb fore(const Control& c);
// A command button's face, darker while it is held down.
Rgb buttonFace(const Control& button, bool pressed);

inline constexpr Rgb kButtonFrame{0x40, 0x00, 0x00};
inline constexpr Rgb kTextBoxFrame{0x80, 0x80, 0x80};
// Focus frames, and the frame and tick of the check box's square.
inline constexpr Rgb kMark{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kCheckSquare{0x00, 0x00, 0x00};
inline constexpr Rgb kMissingPicture{0x30, 0x30, 0x30};

// The picture's file among the resources ("banner.gif"); empty for None.
std::string_view pictureFile(PictureId p);

}  // namespace bellwick::look
