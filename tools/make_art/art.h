#pragma once
// The product's artwork, drawn from code so that the committed picture and icon can be rebuilt
// byte for byte: the dialog's picture as a .bmp file and the icon as a one-image .ico file.

#include <cstddef>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The resource compiler drops these file headers; what follows them is the resource's data.
constexpr std::size_t kBitmapFileHeaderSize = 14;
constexpr std::size_t kIconFileHeaderSize = 6 + 16;

// 300 x 305 pixels, 16 colours: the logo, the product's name and its years on black.
Bytes PictureFile();

// One 32 x 32 image in 16 colours: the logo alone.
Bytes IconFile();
