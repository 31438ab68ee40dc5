// Points, sizes and rectangles written as text, the way sprite-sheet
// property lists store them: "{x,y}", "{w,h}" and "{{x,y},{w,h}}".
// Spaces may surround any brace, comma or number; numbers are decimal
// (sign, fraction and exponent allowed) and must be finite.
#pragma once

#include <string>

#include "host/core/CGGeometry.h"

// Strict readers: true with the value stored when the whole text is the
// form; false, leaving *out untouched, for anything else.
bool ccPointFromString(const std::string& text, CGPoint* out);
bool ccSizeFromString(const std::string& text, CGSize* out);
bool ccRectFromString(const std::string& text, CGRect* out);

// The platform's lenient readers: the zero value for unreadable text.
CGPoint CGPointFromString(const std::string& text);
CGSize CGSizeFromString(const std::string& text);
CGRect CGRectFromString(const std::string& text);
