#pragma once

#include "platform/canvas.h"
#include "platform/metafile_format.h"
#include "platform/rect.h"

// Plays a checked metafile onto Surface, its frame filling Rect, aliased.
void PaintMetafile(const TByteView& File, const TMetafileHeader& Header, const TCanvasSurface& Surface,
                   const TRect& Rect);
