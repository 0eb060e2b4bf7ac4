#include <List.h>

#include <algorithm>
#include <cstdlib>

BList::BList(int32 blockSize)
	: fBlockSize(blockSize > 0 ? blockSize : 20)
{
}

BList::BList(const BList& other) = default;
BList::~BList() = default;

BList& BList::operator=(const BList& other)
{
	fItems = other.fItems;
	fBlockSize = other.fBlockSize;
	return *this;
}

bool BList::operator==(const BList& other) const { return fItems == other.fItems; }
bool BList::operator!=(const BList& other) const { return fItems != other.fItems; }

// Grows the storage in steps of the block size, so that lists which cycle
// through a steady number of items stop allocating.
void BList::Reserve(size_t wanted)
{
	if (wanted <= fItems.capacity())
		return;
	size_t blocks = (wanted + fBlockSize - 1) / fBlockSize;
	fItems.reserve(blocks * fBlockSize);
}

bool BList::AddItem(void* item)
{
	Reserve(fItems.size() + 1);
	fItems.push_back(item);
	return true;
}

bool BList::AddItem(void* item, int32 index)
{
	if (index < 0 || index > int32(fItems.size()))
		return false;
	Reserve(fItems.size() + 1);
	fItems.insert(fItems.begin() + index, item);
	return true;
}

bool BList::AddList(const BList* list)
{
	if (!list)
		return false;
	Reserve(fItems.size() + list->fItems.size());
	fItems.insert(fItems.end(), list->fItems.begin(), list->fItems.end());
	return true;
}

bool BList::AddList(const BList* list, int32 index)
{
	if (!list || index < 0 || index > int32(fItems.size()))
		return false;
	Reserve(fItems.size() + list->fItems.size());
	fItems.insert(fItems.begin() + index, list->fItems.begin(), list->fItems.end());
	return true;
}

bool BList::RemoveItem(void* item)
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	if (it == fItems.end())
		return false;
	fItems.erase(it);
	return true;
}

void* BList::RemoveItem(int32 index)
{
	if (index < 0 || index >= int32(fItems.size()))
		return nullptr;
	void* item = fItems[index];
	fItems.erase(fItems.begin() + index);
	return item;
}

bool BList::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || count < 0 || index > int32(fItems.size()))
		return false;
	int32 end = std::min<int32>(index + count, int32(fItems.size()));
	fItems.erase(fItems.begin() + index, fItems.begin() + end);
	return true;
}

bool BList::ReplaceItem(int32 index, void* item)
{
	if (index < 0 || index >= int32(fItems.size()))
		return false;
	fItems[index] = item;
	return true;
}

void BList::MakeEmpty() { fItems.clear(); }

void BList::SortItems(int (*compareFunc)(const void*, const void*))
{
	if (!compareFunc || fItems.size() < 2)
		return;
	qsort(fItems.data(), fItems.size(), sizeof(void*), compareFunc);
}

bool BList::SwapItems(int32 a, int32 b)
{
	int32 n = int32(fItems.size());
	if (a < 0 || b < 0 || a >= n || b >= n)
		return false;
	std::swap(fItems[a], fItems[b]);
	return true;
}

bool BList::MoveItem(int32 from, int32 to)
{
	int32 n = int32(fItems.size());
	if (from < 0 || to < 0 || from >= n || to >= n)
		return false;
	void* item = fItems[from];
	fItems.erase(fItems.begin() + from);
	fItems.insert(fItems.begin() + to, item);
	return true;
}

void* BList::ItemAt(int32 index) const
{
	if (index < 0 || index >= int32(fItems.size()))
		return nullptr;
	return fItems[index];
}

void* BList::FirstItem() const { return fItems.empty() ? nullptr : fItems.front(); }
void* BList::LastItem() const { return fItems.empty() ? nullptr : fItems.back(); }
void* BList::Items() const { return const_cast<void**>(fItems.data()); }
bool BList::HasItem(void* item) const { return IndexOf(item) >= 0; }

int32 BList::IndexOf(void* item) const
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	return it == fItems.end() ? -1 : int32(it - fItems.begin());
}

int32 BList::CountItems() const { return int32(fItems.size()); }
bool BList::IsEmpty() const { return fItems.empty(); }

void BList::DoForEach(bool (*func)(void*))
{
	for (size_t i = 0; func && i < fItems.size(); i++)
		if (func(fItems[i]))
			break;
}

void BList::DoForEach(bool (*func)(void*, void*), void* arg)
{
	for (size_t i = 0; func && i < fItems.size(); i++)
		if (func(fItems[i], arg))
			break;
}
