// A rectangle given by its left, top, right and bottom edges. A rectangle
// whose right equals its left is one unit wide, as on screen.
#pragma once

#include <Point.h>

#include <algorithm>

class BRect {
public:
	float left = 0;
	float top = 0;
	float right = -1;
	float bottom = -1;

	constexpr BRect() = default;
	constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
	constexpr BRect(BPoint leftTop, BPoint rightBottom)
		: left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y) {}
	constexpr BRect(BPoint leftTop, float width, float height)
		: left(leftTop.x), top(leftTop.y), right(leftTop.x + width), bottom(leftTop.y + height) {}

	void Set(float l, float t, float r, float b) { left = l; top = t; right = r; bottom = b; }

	BPoint LeftTop() const { return BPoint(left, top); }
	BPoint RightBottom() const { return BPoint(right, bottom); }
	BPoint LeftBottom() const { return BPoint(left, bottom); }
	BPoint RightTop() const { return BPoint(right, top); }
	void SetLeftTop(BPoint p) { left = p.x; top = p.y; }
	void SetRightBottom(BPoint p) { right = p.x; bottom = p.y; }

	float Width() const { return right - left; }
	int32 IntegerWidth() const { return int32(right - left + 0.5f); }
	float Height() const { return bottom - top; }
	int32 IntegerHeight() const { return int32(bottom - top + 0.5f); }
	bool IsValid() const { return left <= right && top <= bottom; }

	BRect& InsetBy(float dx, float dy) { left += dx; right -= dx; top += dy; bottom -= dy; return *this; }
	BRect& InsetBy(BPoint p) { return InsetBy(p.x, p.y); }
	BRect InsetByCopy(float dx, float dy) const { BRect r(*this); return r.InsetBy(dx, dy); }
	BRect& OffsetBy(float dx, float dy) { left += dx; right += dx; top += dy; bottom += dy; return *this; }
	BRect& OffsetBy(BPoint p) { return OffsetBy(p.x, p.y); }
	BRect OffsetByCopy(float dx, float dy) const { BRect r(*this); return r.OffsetBy(dx, dy); }
	BRect OffsetByCopy(BPoint p) const { return OffsetByCopy(p.x, p.y); }
	BRect& OffsetTo(float x, float y) { return OffsetBy(x - left, y - top); }
	BRect& OffsetTo(BPoint p) { return OffsetTo(p.x, p.y); }
	BRect OffsetToCopy(float x, float y) const { BRect r(*this); return r.OffsetTo(x, y); }
	BRect OffsetToCopy(BPoint p) const { return OffsetToCopy(p.x, p.y); }

	bool Contains(BPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
	bool Contains(BRect r) const { return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom; }
	bool Intersects(BRect r) const
	{
		return IsValid() && r.IsValid() && !(r.left > right || r.right < left || r.top > bottom || r.bottom < top);
	}
	BRect operator&(BRect r) const
	{
		return BRect(std::max(left, r.left), std::max(top, r.top), std::min(right, r.right), std::min(bottom, r.bottom));
	}
	BRect operator|(BRect r) const
	{
		return BRect(std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom));
	}
	bool operator==(BRect r) const { return left == r.left && top == r.top && right == r.right && bottom == r.bottom; }
	bool operator!=(BRect r) const { return !(*this == r); }

	void PrintToStream() const;
};
