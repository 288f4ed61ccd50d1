// flash.display.BitmapData of SWF 8: bitmaps that scripts make and change
// pixel by pixel, shown by MovieClip.attachBitmap and beginBitmapFill.
#pragma once

#include "movie/Bitmap.h"
#include "movie/script/Vm.h"

#include <memory>

namespace movie::script {

// Puts the class into the flash.display package object.
void InstallBitmapDataClass(Vm& vm, Object* package);

// The pixels of a BitmapData object; null for anything else or one disposed.
std::shared_ptr<const Bitmap> BitmapOf(const Value& v);

} // namespace movie::script
