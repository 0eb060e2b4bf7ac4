#include <DataIO.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

BDataIO::BDataIO() {}
BDataIO::~BDataIO() {}
ssize_t BDataIO::Read(void*, size_t) { return B_NOT_ALLOWED; }
ssize_t BDataIO::Write(const void*, size_t) { return B_NOT_ALLOWED; }
status_t BDataIO::Flush() { return B_OK; }

status_t BDataIO::ReadExactly(void* buffer, size_t size, size_t* bytesRead)
{
	size_t done = 0;
	uint8* out = static_cast<uint8*>(buffer);
	while (done < size) {
		ssize_t n = Read(out + done, size - done);
		if (n < 0) {
			if (bytesRead)
				*bytesRead = done;
			return status_t(n);
		}
		if (n == 0)
			break;
		done += size_t(n);
	}
	if (bytesRead)
		*bytesRead = done;
	return done == size ? status_t(B_OK) : status_t(B_PARTIAL_READ);
}

status_t BDataIO::WriteExactly(const void* buffer, size_t size, size_t* bytesWritten)
{
	size_t done = 0;
	const uint8* in = static_cast<const uint8*>(buffer);
	while (done < size) {
		ssize_t n = Write(in + done, size - done);
		if (n < 0) {
			if (bytesWritten)
				*bytesWritten = done;
			return status_t(n);
		}
		if (n == 0)
			break;
		done += size_t(n);
	}
	if (bytesWritten)
		*bytesWritten = done;
	return done == size ? status_t(B_OK) : status_t(B_PARTIAL_WRITE);
}

BPositionIO::BPositionIO() {}
BPositionIO::~BPositionIO() {}

ssize_t BPositionIO::Read(void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t n = ReadAt(position, buffer, size);
	if (n > 0)
		Seek(position + n, SEEK_SET);
	return n;
}

ssize_t BPositionIO::Write(const void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t n = WriteAt(position, buffer, size);
	if (n > 0)
		Seek(position + n, SEEK_SET);
	return n;
}

status_t BPositionIO::SetSize(off_t) { return B_UNSUPPORTED; }

status_t BPositionIO::GetSize(off_t* size) const
{
	if (!size)
		return B_BAD_VALUE;
	BPositionIO* self = const_cast<BPositionIO*>(this);
	off_t current = Position();
	*size = self->Seek(0, SEEK_END);
	self->Seek(current, SEEK_SET);
	return *size < 0 ? status_t(*size) : B_OK;
}

BMallocIO::BMallocIO() {}
BMallocIO::~BMallocIO() {}

ssize_t BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (!buffer || position < 0)
		return B_BAD_VALUE;
	if (size_t(position) >= fData.size())
		return 0;
	size_t n = std::min(size, fData.size() - size_t(position));
	memcpy(buffer, fData.data() + position, n);
	return ssize_t(n);
}

ssize_t BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (!buffer || position < 0)
		return B_BAD_VALUE;
	if (size_t(position) + size > fData.size())
		fData.resize(size_t(position) + size);
	memcpy(fData.data() + position, buffer, size);
	return ssize_t(size);
}

off_t BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t base = seekMode == SEEK_CUR ? fPosition : seekMode == SEEK_END ? off_t(fData.size()) : 0;
	if (base + position < 0)
		return B_BAD_VALUE;
	fPosition = base + position;
	return fPosition;
}

off_t BMallocIO::Position() const { return fPosition; }

status_t BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	fData.resize(size_t(size));
	return B_OK;
}

BMemoryIO::BMemoryIO(void* data, size_t length)
	: fData(static_cast<uint8*>(data)), fLength(length), fBufferSize(length), fReadOnly(false)
{
}

BMemoryIO::BMemoryIO(const void* data, size_t length)
	: fData(static_cast<uint8*>(const_cast<void*>(data))), fLength(length), fBufferSize(length),
	  fReadOnly(true)
{
}

BMemoryIO::~BMemoryIO() {}

ssize_t BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (!buffer || position < 0)
		return B_BAD_VALUE;
	if (size_t(position) >= fLength)
		return 0;
	size_t n = std::min(size, fLength - size_t(position));
	memcpy(buffer, fData + position, n);
	return ssize_t(n);
}

ssize_t BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (!buffer || position < 0)
		return B_BAD_VALUE;
	if (size_t(position) >= fBufferSize)
		return 0;
	size_t n = std::min(size, fBufferSize - size_t(position));
	memcpy(fData + position, buffer, n);
	fLength = std::max(fLength, size_t(position) + n);
	return ssize_t(n);
}

off_t BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t base = seekMode == SEEK_CUR ? fPosition : seekMode == SEEK_END ? off_t(fLength) : 0;
	if (base + position < 0)
		return B_BAD_VALUE;
	fPosition = base + position;
	return fPosition;
}

off_t BMemoryIO::Position() const { return fPosition; }

status_t BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || size_t(size) > fBufferSize)
		return B_BAD_VALUE;
	fLength = size_t(size);
	return B_OK;
}
