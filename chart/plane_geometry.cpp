#include "chart/plane_geometry.h"

#include <cmath>

Vector2* SubtractVector(const Vector2* a, const Vector2* b, Vector2* out)
{
    if (!a || !b || !out) return nullptr;
    out->x = a->x - b->x;
    out->y = a->y - b->y;
    return out;
}

double DotProduct(const Vector2* a, const Vector2* b)
{
    if (!a || !b) return 0.0;
    return a->x * b->x + a->y * b->y;
}

double VectorLengthSquared(const Vector2* v)
{
    if (!v) return 0.0;
    return v->x * v->x + v->y * v->y;
}

double VectorLength(const Vector2* v)
{
    if (!v) return 0.0;
    return std::sqrt(VectorLengthSquared(v));
}

Projection* ProjectVector(const Vector2* a, const Vector2* b, Projection* out)
{
    if (!out) return nullptr;
    const double t = DotProduct(a, b) / DotProduct(b, b);
    const Vector2 projection{b ? b->x * t : 0.0, b ? b->y * t : 0.0};
    Vector2 rest;
    SubtractVector(a, &projection, &rest);
    out->projX = projection.x;
    out->projY = projection.y;
    out->restX = rest.x;
    out->restY = rest.y;
    out->projLength = VectorLength(&projection);
    out->restLength = VectorLength(&rest);
    return out;
}

double DistanceToSegment(const POINT* p0, const POINT* p1, const POINT* p)
{
    if (!p0 || !p1 || !p) return std::nan("");
    const Vector2 d{static_cast<double>(p1->x - p0->x), static_cast<double>(p1->y - p0->y)};
    const Vector2 e{static_cast<double>(p->x - p0->x), static_cast<double>(p->y - p0->y)};
    Projection projection;
    ProjectVector(&e, &d, &projection);
    return projection.restLength;
}
