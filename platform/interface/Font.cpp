#include <Font.h>

#include <cmath>
#include <cstring>

namespace {

// Width of a character at size 1, by face. Proportional faces make narrow
// characters narrower so that labels do not all measure alike.
float CharWidth(unsigned char c, bool fixed, bool bold)
{
	if (fixed)
		return 0.6f;
	float width;
	if (strchr("il.,:;'|!", c))
		width = 0.25f;
	else if (c == ' ')
		width = 0.3f;
	else if (strchr("mwMW", c))
		width = 0.8f;
	else if (c >= 'A' && c <= 'Z')
		width = 0.65f;
	else if (c >= 0x80)
		width = 0.3f;  // one byte of a multi-byte character
	else
		width = 0.5f;
	return bold ? width + 0.05f : width;
}

constinit const BFont sPlain(12, B_REGULAR_FACE, false);
constinit const BFont sBold(12, B_BOLD_FACE, false);
constinit const BFont sFixed(12, B_REGULAR_FACE, true);

}  // namespace

const BFont* be_plain_font = &sPlain;
const BFont* be_bold_font = &sBold;
const BFont* be_fixed_font = &sFixed;

BFont::BFont(const BFont* font)
{
	if (font)
		*this = *font;
}

void BFont::SetSize(float size)
{
	if (size > 0)
		fSize = size;
}

void BFont::SetFace(uint16 face)
{
	fFace = face == 0 ? uint16(B_REGULAR_FACE) : face;
}

status_t BFont::SetFamilyAndStyle(const char* family, const char* style)
{
	if (family) {
		if (strcmp(family, "Mono") == 0)
			fFixed = true;
		else if (strcmp(family, "Sans") == 0)
			fFixed = false;
		else
			return B_NAME_NOT_FOUND;
	}
	if (style)
		fFace = strcmp(style, "Bold") == 0 ? uint16(B_BOLD_FACE) : uint16(B_REGULAR_FACE);
	return B_OK;
}

float BFont::StringWidth(const char* string) const
{
	return string ? StringWidth(string, int32(strlen(string))) : 0;
}

float BFont::StringWidth(const char* string, int32 length) const
{
	if (!string || length <= 0)
		return 0;
	bool bold = (fFace & B_BOLD_FACE) != 0;
	float width = 0;
	for (int32 i = 0; i < length && string[i]; i++)
		width += CharWidth(static_cast<unsigned char>(string[i]), fFixed, bold);
	return std::ceil(width * fSize);
}

void BFont::GetHeight(font_height* height) const
{
	if (!height)
		return;
	height->ascent = std::ceil(fSize * 0.75f);
	height->descent = std::ceil(fSize * 0.25f);
	height->leading = 0;
}

float BFont::LineHeight() const
{
	font_height h;
	GetHeight(&h);
	return std::ceil(h.ascent + h.descent + h.leading);
}

bool BFont::operator==(const BFont& other) const
{
	return fSize == other.fSize && fFace == other.fFace && fFixed == other.fFixed
		&& fSpacing == other.fSpacing;
}
