#pragma once

// Reading a picture file into a pane's bitmap.

#include "raster/bitmap32.h"

#include <string>

// Reads FileName and draws it into Pane at Pane's size, nearest pixel,
// replacing every pixel with its alpha. An empty Pane takes the picture at
// the picture's own size. When the file cannot be read the error passes on
// and Pane stays as it was.
void LoadPictureIntoPane(TBitmap32& Pane, const std::string& FileName);
