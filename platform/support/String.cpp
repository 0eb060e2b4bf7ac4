#include <String.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

BString::BString() = default;
BString::BString(const char* string) : fData(string ? string : "") {}
BString::BString(const char* string, int32 maxLength)
{
	SetTo(string, maxLength);
}
BString::BString(const BString& other) = default;
BString::BString(BString&& other) noexcept = default;
BString::~BString() = default;

int32 BString::CountChars() const
{
	int32 count = 0;
	for (unsigned char c : fData)
		if ((c & 0xC0) != 0x80)
			count++;
	return count;
}

BString& BString::operator=(const BString& other) = default;
BString& BString::operator=(BString&& other) noexcept = default;
BString& BString::operator=(const char* string) { return SetTo(string); }
BString& BString::operator=(char c)
{
	fData.assign(1, c);
	return *this;
}

BString& BString::SetTo(const char* string)
{
	fData.assign(string ? string : "");
	return *this;
}

BString& BString::SetTo(const char* string, int32 maxLength)
{
	if (!string || maxLength <= 0) {
		fData.clear();
		return *this;
	}
	fData.assign(string, strnlen(string, size_t(maxLength)));
	return *this;
}

BString& BString::SetTo(char c, int32 count)
{
	fData.assign(size_t(std::max<int32>(count, 0)), c);
	return *this;
}

BString& BString::Adopt(BString& from)
{
	fData = std::move(from.fData);
	from.fData.clear();
	return *this;
}

BString& BString::operator+=(const BString& other) { return Append(other); }
BString& BString::operator+=(const char* string) { return Append(string); }
BString& BString::operator+=(char c)
{
	fData.push_back(c);
	return *this;
}

BString& BString::Append(const BString& other)
{
	fData += other.fData;
	return *this;
}

BString& BString::Append(const char* string)
{
	if (string)
		fData += string;
	return *this;
}

BString& BString::Append(const char* string, int32 length)
{
	if (string && length > 0)
		fData.append(string, strnlen(string, size_t(length)));
	return *this;
}

BString& BString::Append(char c, int32 count)
{
	if (count > 0)
		fData.append(size_t(count), c);
	return *this;
}

BString& BString::Prepend(const char* string)
{
	if (string)
		fData.insert(0, string);
	return *this;
}

BString& BString::Prepend(const BString& other)
{
	fData.insert(0, other.fData);
	return *this;
}

BString& BString::Insert(const char* string, int32 position)
{
	if (string && position >= 0 && position <= Length())
		fData.insert(size_t(position), string);
	return *this;
}

BString& BString::Insert(char c, int32 count, int32 position)
{
	if (count > 0 && position >= 0 && position <= Length())
		fData.insert(size_t(position), size_t(count), c);
	return *this;
}

BString& BString::Truncate(int32 newLength, bool)
{
	if (newLength < 0)
		newLength = 0;
	if (newLength < Length())
		fData.resize(size_t(newLength));
	return *this;
}

BString& BString::Remove(int32 from, int32 length)
{
	if (from >= 0 && from < Length() && length > 0)
		fData.erase(size_t(from), size_t(length));
	return *this;
}

BString& BString::RemoveFirst(const char* string)
{
	int32 at = string ? FindFirst(string) : -1;
	if (at >= 0)
		fData.erase(size_t(at), strlen(string));
	return *this;
}

BString& BString::RemoveAll(const char* string)
{
	return ReplaceAll(string, "");
}

BString& BString::MoveInto(BString& into, int32 from, int32 length)
{
	CopyInto(into, from, length);
	Remove(from, length);
	return *this;
}

void BString::CopyInto(char* into, int32 from, int32 length) const
{
	if (!into || from < 0 || from > Length() || length <= 0)
		return;
	int32 n = std::min(length, Length() - from);
	memcpy(into, fData.data() + from, size_t(n));
}

BString& BString::CopyInto(BString& into, int32 from, int32 length) const
{
	if (from < 0 || from > Length() || length < 0)
		into.fData.clear();
	else
		into.fData = fData.substr(size_t(from), size_t(length));
	return into;
}

int32 BString::FindFirst(const char* string, int32 fromOffset) const
{
	if (!string || fromOffset < 0)
		return -1;
	size_t at = fData.find(string, size_t(fromOffset));
	return at == std::string::npos ? -1 : int32(at);
}

int32 BString::FindFirst(char c, int32 fromOffset) const
{
	if (fromOffset < 0)
		return -1;
	size_t at = fData.find(c, size_t(fromOffset));
	return at == std::string::npos ? -1 : int32(at);
}

int32 BString::FindLast(const char* string) const
{
	if (!string)
		return -1;
	size_t at = fData.rfind(string);
	return at == std::string::npos ? -1 : int32(at);
}

int32 BString::FindLast(char c) const
{
	size_t at = fData.rfind(c);
	return at == std::string::npos ? -1 : int32(at);
}

int32 BString::IFindFirst(const char* string, int32 fromOffset) const
{
	BString lower(*this), pattern(string);
	lower.ToLower();
	pattern.ToLower();
	return lower.FindFirst(pattern.String(), fromOffset);
}

BString& BString::ReplaceFirst(const char* replaceThis, const char* withThis)
{
	if (!replaceThis || !*replaceThis || !withThis)
		return *this;
	size_t at = fData.find(replaceThis);
	if (at != std::string::npos)
		fData.replace(at, strlen(replaceThis), withThis);
	return *this;
}

BString& BString::ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	if (!replaceThis || !*replaceThis || !withThis || fromOffset < 0)
		return *this;
	size_t len = strlen(replaceThis), with = strlen(withThis);
	size_t at = fData.find(replaceThis, size_t(fromOffset));
	while (at != std::string::npos) {
		fData.replace(at, len, withThis);
		at = fData.find(replaceThis, at + with);
	}
	return *this;
}

BString& BString::ReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	for (size_t i = size_t(std::max<int32>(fromOffset, 0)); i < fData.size(); i++)
		if (fData[i] == replaceThis)
			fData[i] = withThis;
	return *this;
}

BString& BString::ToLower()
{
	for (char& c : fData)
		c = char(tolower((unsigned char)c));
	return *this;
}

BString& BString::ToUpper()
{
	for (char& c : fData)
		c = char(toupper((unsigned char)c));
	return *this;
}

BString& BString::Trim()
{
	size_t b = 0, e = fData.size();
	while (b < e && isspace((unsigned char)fData[b]))
		b++;
	while (e > b && isspace((unsigned char)fData[e - 1]))
		e--;
	fData = fData.substr(b, e - b);
	return *this;
}

int BString::Compare(const BString& other) const { return strcmp(String(), other.String()); }
int BString::Compare(const char* string) const { return strcmp(String(), string ? string : ""); }
int BString::Compare(const char* string, int32 length) const
{
	return strncmp(String(), string ? string : "", size_t(std::max<int32>(length, 0)));
}
int BString::ICompare(const char* string) const { return strcasecmp(String(), string ? string : ""); }

char BString::ByteAt(int32 index) const
{
	return index >= 0 && index < Length() ? fData[size_t(index)] : 0;
}

char* BString::LockBuffer(int32 maxLength)
{
	if (maxLength > Length())
		fData.resize(size_t(maxLength), '\0');
	return fData.data();
}

BString& BString::UnlockBuffer(int32 length)
{
	if (length < 0)
		length = int32(strnlen(fData.c_str(), fData.size()));
	if (length < Length())
		fData.resize(size_t(length));
	return *this;
}

BString& BString::operator<<(const char* string) { return Append(string); }
BString& BString::operator<<(const BString& other) { return Append(other); }
BString& BString::operator<<(char c) { return *this += c; }
BString& BString::operator<<(int value) { fData += std::to_string(value); return *this; }
BString& BString::operator<<(unsigned int value) { fData += std::to_string(value); return *this; }
BString& BString::operator<<(long value) { fData += std::to_string(value); return *this; }
BString& BString::operator<<(unsigned long value) { fData += std::to_string(value); return *this; }
BString& BString::operator<<(long long value) { fData += std::to_string(value); return *this; }
BString& BString::operator<<(unsigned long long value) { fData += std::to_string(value); return *this; }

BString& BString::operator<<(float value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", double(value));
	return Append(buffer);
}

BString& BString::operator<<(double value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", value);
	return Append(buffer);
}

BString& BString::SetToFormat(const char* format, ...)
{
	va_list args, copy;
	va_start(args, format);
	va_copy(copy, args);
	int n = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	if (n < 0) {
		va_end(args);
		fData.clear();
		return *this;
	}
	std::string result(size_t(n) + 1, '\0');
	vsnprintf(result.data(), result.size(), format, args);
	va_end(args);
	result.resize(size_t(n));
	fData = std::move(result);
	return *this;
}

BString operator+(const BString& a, const BString& b)
{
	BString r(a);
	r += b;
	return r;
}

BString operator+(const BString& a, const char* b)
{
	BString r(a);
	r += b;
	return r;
}
