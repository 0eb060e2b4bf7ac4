// A point in a view's coordinate system.
#pragma once

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
	float x = 0;
	float y = 0;

	constexpr BPoint() = default;
	constexpr BPoint(float x_, float y_) : x(x_), y(y_) {}

	void Set(float x_, float y_) { x = x_; y = y_; }
	void ConstrainTo(BRect rect);
	void PrintToStream() const;

	BPoint operator+(const BPoint& p) const { return BPoint(x + p.x, y + p.y); }
	BPoint operator-(const BPoint& p) const { return BPoint(x - p.x, y - p.y); }
	BPoint& operator+=(const BPoint& p) { x += p.x; y += p.y; return *this; }
	BPoint& operator-=(const BPoint& p) { x -= p.x; y -= p.y; return *this; }
	BPoint operator-() const { return BPoint(-x, -y); }
	bool operator==(const BPoint& p) const { return x == p.x && y == p.y; }
	bool operator!=(const BPoint& p) const { return !(*this == p); }
};

extern const BPoint B_ORIGIN;
