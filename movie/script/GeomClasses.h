// The flash.geom classes of SWF 8. Point, Rectangle and Matrix keep their
// values in plain properties, as classes written in script would;
// ColorTransform keeps numbers of its own behind properties of its
// prototype; a Transform follows a movie clip, reading and changing its
// placement through the host.
#pragma once

#include "movie/Geometry.h"
#include "movie/script/Vm.h"

namespace movie::script {

// Puts Point, Rectangle, Matrix, ColorTransform and Transform into the
// flash.geom package object.
void InstallGeomClasses(Vm& vm, Object* package);

// clip.transform: a new Transform of the clip each time it is read.
Value TransformOf(Vm& vm, Object* clip);
// clip.transform = v: another clip's Transform gives its matrix and colour
// transform; anything else changes nothing.
void SetTransformFrom(Vm& vm, Object* clip, const Value& v);

// A colour transform as the player keeps a clip's: multipliers in 8.8 fixed
// point, offsets in 16 bits, both wrapped as they are stored.
ColorTransform StoredColorTransform(double mult[4], double add[4]);
// `outer` applied after `inner`, in the stored arithmetic.
ColorTransform Concatenated(const ColorTransform& outer, const ColorTransform& inner);

} // namespace movie::script
