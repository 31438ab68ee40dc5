// The geometry of the two container transitions, apart from any drawing.
//
// Flip: the view turns half a turn about its vertical centre line, seen in
// perspective; up to 90 degrees the old content shows, after it the new
// content, which comes round from -90 degrees to rest. "From right": the
// right edge swings towards the viewer and across to the left.
//
// Curl: a page rolls up from its bottom edge around a cylinder lying
// along the width. Curl up rolls the old content away, uncovering the new
// from the bottom; curl down unrolls the new content down from the top
// over the old. Page rows above the cylinder's contact line lie flat; rows
// past it wrap round the cylinder (the front turning away, then the back
// facing the viewer), and what is past the cylinder lies folded back, face
// down, above the contact line.
#pragma once

#include "host/ui/View.h"

namespace host {

// ---- flip ----

struct FlipFace {
    bool showsNewContent;  // false: the old content
    float angle;           // radians about the vertical axis, 0 = facing the viewer
    float shade;           // 1 facing the viewer, darker as it turns
};
FlipFace flipFaceAt(AnimationTransition kind, float progress);

// A point of the turning view, projected to (x, y), with its perspective
// weight w: GL gets the vertex (x w, y w, 0, w), so textures on the
// turning view are interpolated in perspective.
struct ProjectedPoint {
    float x, y, w;
};
// Turns (x, y) by `angle` about the vertical line through (cx, cy) and
// projects it for an eye `eyeDistance` points in front of the view.
ProjectedPoint projectFlipPoint(float x, float y, float cx, float cy, float angle, float eyeDistance);
// A perspective that looks natural for a view `width` points wide.
float flipEyeDistance(float width);

// ---- curl ----

struct CurlLayout {
    bool pageIsOldContent;  // curl up rolls the old content; curl down the new
    float roll;             // 0 = the page lies flat over everything, 1 = rolled away
};
CurlLayout curlLayoutAt(AnimationTransition kind, float progress);

// One row of the page at page height `pageY` (points from its top), shown
// at `screenY`; `back` when the page's back faces the viewer there.
struct CurlRow {
    float pageY;
    float screenY;
    bool back;
    float shade;
};

// The cylinder's radius for a page `height` points tall.
float curlRadius(float height);
// The page's rows from top to bottom, which is also the order to draw
// them in (each lies above the ones before). Returns how many were written
// (at most kMaxCurlRows); consecutive rows bound one strip.
constexpr int kMaxCurlRows = 24;
int curlRows(float height, float roll, float radius, CurlRow* rows);
// Where the rolled page's cylinder touches down (points from the top).
float curlContactLine(float height, float roll, float radius);

}  // namespace host
