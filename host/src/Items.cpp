#include <vantrel/Items.h>

#include <Packet.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace vantrel {

std::vector<MIDISeq> ItemCopy::events() const
{
	std::vector<MIDISeq> out;
	if (type != Z_MIDI || payload.size() < sizeof(MIDISeq))
		return out;
	size_t slots = payload.size() / sizeof(MIDISeq);
	for (size_t i = 0; i < slots && i < size_t(kPacketSlots); i++) {
		MIDISeq event;
		memcpy(&event, payload.data() + i * 4, 4);
		if (event.status == 0)
			break;
		out.push_back(event);
	}
	return out;
}

std::vector<MIDISeq> ItemCopy::slots() const
{
	std::vector<MIDISeq> out(payload.size() / 4);
	if (!out.empty())
		memcpy(out.data(), payload.data(), out.size() * 4);
	return out;
}

std::string ItemCopy::text() const
{
	if (type == Z_DATA || type == Z_EODS) {
		if (payload.size() < 4)
			return "";
		int32 count;
		memcpy(&count, payload.data(), 4);
		size_t n = count < 0 ? strnlen(reinterpret_cast<const char*>(payload.data() + 4), payload.size() - 4)
							 : std::min<size_t>(size_t(count), payload.size() - 4);
		return std::string(reinterpret_cast<const char*>(payload.data() + 4), n);
	}
	size_t n = strnlen(reinterpret_cast<const char*>(payload.data()), payload.size());
	return std::string(reinterpret_cast<const char*>(payload.data()), n);
}

std::vector<uint8> ItemCopy::bytes() const
{
	std::string t = text();
	return std::vector<uint8>(t.begin(), t.end());
}

Delivery Snapshot(const ZItem* items, int count)
{
	Delivery out;
	for (int i = 0; items && i < count; i++) {
		ItemCopy copy;
		copy.type = items[i].type;
		copy.data = uintptr_t(items[i].data);
		copy.size = items[i].size;
		copy.extra = items[i].extra;
		if (items[i].size > 0 && items[i].data) {
			const uint8* bytes = static_cast<const uint8*>(items[i].data);
			copy.payload.assign(bytes, bytes + items[i].size);
		}
		out.push_back(std::move(copy));
	}
	return out;
}

ZItem* DeepCopy(const ZItem* items, int count)
{
	ZItem* copy = new ZItem[size_t(count > 0 ? count : 0)];
	for (int i = 0; i < count; i++) {
		copy[i].type = items[i].type;
		copy[i].extra = items[i].extra;
		copy[i].size = items[i].size;
		if (items[i].size > 0 && items[i].data) {
			void* buffer = items[i].type == Z_MIDI ? static_cast<void*>(new uint8[size_t(items[i].size)])
												   : malloc(size_t(items[i].size));
			memcpy(buffer, items[i].data, size_t(items[i].size));
			copy[i].data = buffer;
		} else {
			copy[i].data = items[i].data;
			copy[i].size = items[i].size > 0 ? 0 : items[i].size;
		}
	}
	return copy;
}

void ReleaseList(ZItem*& items, int& count)
{
	if (items) {
		for (int i = 0; i < count; i++)
			clear_item(items[i]);
		delete[] items;
	}
	items = nullptr;
	count = 0;
}

ItemList::ItemList(int count)
{
	fItems = new ZItem[size_t(count)];
	fCount = count;
}

ItemList::ItemList(ItemList&& other) noexcept
	: fItems(std::exchange(other.fItems, nullptr)), fCount(std::exchange(other.fCount, 0))
{
}

ItemList& ItemList::operator=(ItemList&& other) noexcept
{
	if (this != &other) {
		Release();
		fItems = std::exchange(other.fItems, nullptr);
		fCount = std::exchange(other.fCount, 0);
	}
	return *this;
}

ItemList::~ItemList() { Release(); }

void ItemList::Release() { ReleaseList(fItems, fCount); }

void ItemList::Grow()
{
	ZItem* grown = new ZItem[size_t(fCount + 1)];
	for (int i = 0; i < fCount; i++) {
		grown[i] = fItems[i];
		fItems[i] = zero_item;
	}
	delete[] fItems;
	fItems = grown;
	fCount++;
}

ItemList& ItemList::Empty()
{
	Grow();
	return *this;
}

ItemList& ItemList::Value(uint32 type, int32 value)
{
	Grow();
	fItems[fCount - 1].type = type;
	set_zvalue(fItems[fCount - 1], value);
	return *this;
}

ItemList& ItemList::Midi(const std::vector<MIDISeq>& events, bool terminate)
{
	Grow();
	uint8* packet = new_packet();
	PacketWriter writer(packet);
	for (const MIDISeq& event : events)
		writer.put(event);
	if (terminate)
		writer.terminate();
	ZItem& item = fItems[fCount - 1];
	item.type = Z_MIDI;
	item.data = packet;
	item.size = kPacketBytes;
	return *this;
}

ItemList& ItemList::MidiSlots(const std::vector<MIDISeq>& slots)
{
	Grow();
	uint8* packet = new_packet();
	memcpy(packet, slots.data(), std::min<size_t>(slots.size(), 32) * 4);
	ZItem& item = fItems[fCount - 1];
	item.type = Z_MIDI;
	item.data = packet;
	item.size = kPacketBytes;
	return *this;
}

ItemList& ItemList::Data(const std::vector<uint8>& bytes)
{
	Grow();
	DataBuf* buffer = static_cast<DataBuf*>(calloc(1, sizeof(DataBuf)));
	size_t n = std::min<size_t>(bytes.size(), kDataBufSize);
	buffer->count = int32(n);
	if (n > 0)
		memcpy(buffer->data, bytes.data(), n);
	ZItem& item = fItems[fCount - 1];
	item.type = Z_DATA;
	item.data = buffer;
	item.size = sizeof(DataBuf);
	return *this;
}

static ItemList& AddText(ItemList& list, ZItem& item, uint32 type, const std::string& text)
{
	char* buffer = static_cast<char*>(malloc(text.size() + 1));
	memcpy(buffer, text.c_str(), text.size() + 1);
	item.type = type;
	item.data = buffer;
	item.size = int32(text.size() + 1);
	return list;
}

ItemList& ItemList::Line(const std::string& text)
{
	Grow();
	return AddText(*this, fItems[fCount - 1], Z_LINE, text);
}

ItemList& ItemList::Text(const std::string& text)
{
	Grow();
	return AddText(*this, fItems[fCount - 1], Z_TEXT, text);
}

ItemList& ItemList::Sysex(const std::vector<uint8>& body)
{
	Grow();
	ZItem& item = fItems[fCount - 1];
	item.type = Z_MSYX;
	item.size = int32(body.size());
	item.data = body.empty() ? nullptr : malloc(body.size());
	if (!body.empty())
		memcpy(item.data, body.data(), body.size());
	return *this;
}

ItemList& ItemList::Meta(uint8 metaType, const std::string& text, int32 sizeOverride)
{
	Grow();
	ZItem& item = fItems[fCount - 1];
	size_t size = sizeOverride >= 0 ? size_t(sizeOverride) : text.size() + 1;
	uint8* block = static_cast<uint8*>(calloc(1, size + 1));
	block[0] = metaType;
	memcpy(block + 1, text.data(), std::min(text.size(), size > 0 ? size - 1 : 0));
	item.type = Z_MMTD;
	item.data = block;
	item.size = int32(size);
	return *this;
}

ItemList& ItemList::EndOfData()
{
	Grow();
	fItems[fCount - 1].type = Z_EODS;
	return *this;
}

ItemList& ItemList::Raw(uint32 type, void* data, int32 size)
{
	Grow();
	ZItem& item = fItems[fCount - 1];
	item.type = type;
	item.data = data;
	item.size = size;
	return *this;
}

std::vector<MIDISeq> ItemList::events(int index) const
{
	if (index < 0 || index >= fCount)
		return {};
	return Snapshot(fItems + index, 1)[0].events();
}

std::string DescribeItem(const ItemCopy& item)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "'%s' size %d", FourCC(item.type).c_str(), item.size);
	return buffer;
}

}  // namespace vantrel
