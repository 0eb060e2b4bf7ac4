// Byte streams: sequential (BDataIO) and seekable (BPositionIO).
#pragma once

#include <SupportDefs.h>

#include <vector>

class BDataIO {
public:
	BDataIO();
	virtual ~BDataIO();

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual status_t Flush();

	// Reads or writes exactly size bytes, or fails.
	status_t ReadExactly(void* buffer, size_t size, size_t* bytesRead = nullptr);
	status_t WriteExactly(const void* buffer, size_t size, size_t* bytesWritten = nullptr);
};

class BPositionIO : public BDataIO {
public:
	BPositionIO();
	virtual ~BPositionIO();

	ssize_t Read(void* buffer, size_t size) override;
	ssize_t Write(const void* buffer, size_t size) override;

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;
	virtual off_t Seek(off_t position, uint32 seekMode) = 0;
	virtual off_t Position() const = 0;
	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;
};

// A growable stream in memory.
class BMallocIO : public BPositionIO {
public:
	BMallocIO();
	~BMallocIO() override;

	ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	off_t Seek(off_t position, uint32 seekMode) override;
	off_t Position() const override;
	status_t SetSize(off_t size) override;

	const void* Buffer() const { return fData.data(); }
	size_t BufferLength() const { return fData.size(); }

private:
	std::vector<uint8> fData;
	off_t fPosition = 0;
};

// A fixed buffer seen as a stream.
class BMemoryIO : public BPositionIO {
public:
	BMemoryIO(void* data, size_t length);
	BMemoryIO(const void* data, size_t length);
	~BMemoryIO() override;

	ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	off_t Seek(off_t position, uint32 seekMode) override;
	off_t Position() const override;
	status_t SetSize(off_t size) override;

private:
	uint8* fData;
	size_t fLength;
	size_t fBufferSize;
	bool fReadOnly;
	off_t fPosition = 0;
};

#ifndef SEEK_SET
#include <cstdio>
#endif
