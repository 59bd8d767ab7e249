// Geometry of flow-chart connection routes: drawing a route in one of four
// styles, its length, the point half way along it (where a connection's label
// goes), whether a point lies on it within a tolerance, and whether it crosses
// a rectangle. Works on arrays of display points; knows nothing of charts.
//
// A route of n >= 2 points is: the polyline through them (straight); from
// each point to the next first horizontally, then vertically (or the other
// way round) for the right-angled styles; or a chain of quadratic Bezier
// pieces that uses the inner points as control points (curved; with fewer
// than 3 points a curved route counts as straight).
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

enum TkxFcLineStyle : Byte { flsStraight, flsCurved, flsRectHorizontal, flsRectVertical };

// Draws the route with the context's current pen (a curved route of fewer
// than 3 points draws nothing: the caller draws it straight).
void DrawRoute(HDC DC, TkxFcLineStyle Style, const TPoint* Points, int N);
// The point at half the route's length (P0 for routes without a segment).
TPoint RouteMiddlePoint(TkxFcLineStyle Style, const TPoint* Points, int N);
// Whether (X, Y) lies on the route within Tolerance pixels.
bool RouteHitTest(TkxFcLineStyle Style, const TPoint* Points, int N, int X, int Y, int Tolerance);
// Whether the route crosses the rectangle (edges inclusive).
bool RouteIntersectsRect(TkxFcLineStyle Style, const TPoint* Points, int N, const TRect& R);
// The segment (or curve piece) at which the last hit test, rectangle test or
// middle-point search stopped; -1 when a test found none.
int LastSegmentIndex();
// Grows R to contain P.
void ExpandRect(TRect& R, TPoint P);
// Approximate distance from Q to the line through P0 and P1.
int PointLineDistance(TPoint P0, TPoint P1, TPoint Q);
// The length of the route (rounded per segment, as the middle-point search
// measures it).
long long RouteLength(TkxFcLineStyle Style, const TPoint* Points, int N);
// The line points one curve piece (start S, control C, end E) is drawn
// through, E included when Last.
void SubdivideCurvePiece(TPoint S, TPoint C, TPoint E, bool Last, void (*Emit)(void* Ctx, TPoint P), void* Ctx);
