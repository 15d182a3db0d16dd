#pragma once
// The program's pictures, taken from the files embedded in the binary.

#include <wx/animate.h>
#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/image.h>

namespace moxtrel::res {

inline constexpr int IconProgram = 128;
inline constexpr int IconLocate = 135;
inline constexpr int IconSearch = 136;
inline constexpr int IconBegin = 137;
inline constexpr int IconPointer = 139;
inline constexpr int BitmapDrivesAndFolders = 134;
inline constexpr int AnimationExtraction = 132;
inline constexpr int AnimationSearch = 129;

// The image of icon `id` at `size` pixels: every icon has a 32-pixel image,
// icons 128 and 139 also a 16-pixel one. An invalid image when there is none.
wxImage LoadIconImage(int id, int size = 32);
// Icon 128 at both sizes, for the window icons.
wxIconBundle ProgramIcons();
// `image` centred on a transparent picture of `size`, cut off where it does
// not fit, the way a static icon shows an icon larger than itself.
wxImage CentreImage(const wxImage& image, wxSize size);
// Bitmap 134: seven 16 x 16 images side by side, magenta transparent.
wxBitmap LoadDriveAndFolderStrip();
// Animation `id` in the form `control` plays; invalid when there is none.
wxAnimation LoadAnimation(int id, const wxAnimationCtrlBase& control);

}  // namespace moxtrel::res
