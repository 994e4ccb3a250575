// The paint tone table: intensity, contrast and gamma folded into the record's 256-byte PaintLUT.
#pragma once
#include "qsrecords.h"

// Recomputes PaintLUT from PaintIntensity, PaintContrast and PaintGamma and sets Flags bit
// 0x2000 exactly when the table differs from the identity. Needs a record with a PaintLUT.
void BuildPaintLUT(BitmapRecord* bitmap);
