#pragma once
// Vectors in the plane, for the distance of a click from a drawn line of a curve.

#include "chart/gdi_types.h"

struct Vector2 {
    double x = 0.0;
    double y = 0.0;
};

// The projection of one vector onto another and what is left of it.
struct Projection {
    double projX = 0.0;
    double projY = 0.0;
    double restX = 0.0;
    double restY = 0.0;
    double projLength = 0.0;
    double restLength = 0.0;
};

// out = a - b; null when a or b is null.
Vector2* SubtractVector(const Vector2* a, const Vector2* b, Vector2* out);
double DotProduct(const Vector2* a, const Vector2* b);
double VectorLengthSquared(const Vector2* v);
double VectorLength(const Vector2* v);
// Projects a onto b. When b has no length every component is not a number.
Projection* ProjectVector(const Vector2* a, const Vector2* b, Projection* out);
// Distance of p from the infinite line through p0 and p1 (not a number when p0 equals p1,
// so that no tolerance accepts it).
double DistanceToSegment(const POINT* p0, const POINT* p1, const POINT* p);
