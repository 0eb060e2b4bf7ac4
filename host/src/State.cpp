#include <vantrel/Runtime.h>
#include <vantrel/State.h>

#include <Entry.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vantrel {

namespace {

std::string Hex(const uint8* data, size_t size)
{
	static const char digits[] = "0123456789abcdef";
	std::string out;
	for (size_t i = 0; i < size; i++) {
		out += digits[data[i] >> 4];
		out += digits[data[i] & 15];
	}
	return out;
}

bool FromHex(const std::string& text, std::vector<uint8>* out)
{
	if (text.size() % 2)
		return false;
	auto nibble = [](char c) -> int {
		if (c >= '0' && c <= '9') return c - '0';
		if (c >= 'a' && c <= 'f') return c - 'a' + 10;
		if (c >= 'A' && c <= 'F') return c - 'A' + 10;
		return -1;
	};
	for (size_t i = 0; i < text.size(); i += 2) {
		int hi = nibble(text[i]), lo = nibble(text[i + 1]);
		if (hi < 0 || lo < 0)
			return false;
		out->push_back(uint8(hi << 4 | lo));
	}
	return true;
}

uint32 CodeFromString(const std::string& text, bool* ok)
{
	*ok = text.size() == 4;
	uint32 code = 0;
	for (char c : text)
		code = code << 8 | uint8(c);
	return code;
}

const char* TagFor(type_code type)
{
	switch (type) {
		case B_INT8_TYPE: return "int8";
		case B_UINT8_TYPE: return "uint8";
		case B_INT16_TYPE: return "int16";
		case B_UINT16_TYPE: return "uint16";
		case B_UINT32_TYPE: return "uint32";
		case B_INT64_TYPE: return "int64";
		case B_UINT64_TYPE: return "uint64";
		case B_FLOAT_TYPE: return "float";
		case B_DOUBLE_TYPE: return "double";
		case B_RECT_TYPE: return "rect";
		case B_POINT_TYPE: return "point";
		case B_REF_TYPE: return "ref";
		case B_MESSAGE_TYPE: return "message";
		default: return nullptr;
	}
}

// The shortest decimal that reads back as the same float, so saved
// diagrams show 0.1 rather than 0.10000000149011612.
Json FloatJson(float value)
{
	char text[32];
	for (int precision = 1; precision <= 9; precision++) {
		snprintf(text, sizeof(text), "%.*g", precision, double(value));
		if (strtof(text, nullptr) == value)
			break;
	}
	return Json(strtod(text, nullptr));
}

Json ItemToJson(const BMessage& message, const char* name, type_code type, int32 index)
{
	const void* data;
	ssize_t size;
	message.FindData(name, type, index, &data, &size);
	auto get = [&](auto value) {
		memcpy(&value, data, sizeof(value));
		return value;
	};
	switch (type) {
		case B_INT32_TYPE: return Json(get(int32(0)));
		case B_BOOL_TYPE: return Json(*static_cast<const uint8*>(data) != 0);
		case B_STRING_TYPE: return Json(std::string(static_cast<const char*>(data)));
		case B_INT8_TYPE: return Json(get(int8(0)));
		case B_UINT8_TYPE: return Json(get(uint8(0)));
		case B_INT16_TYPE: return Json(get(int16(0)));
		case B_UINT16_TYPE: return Json(get(uint16(0)));
		case B_UINT32_TYPE: return Json(get(uint32(0)));
		case B_INT64_TYPE: return Json(get(int64(0)));
		case B_UINT64_TYPE: return Json(get(uint64(0)));
		case B_FLOAT_TYPE: return FloatJson(get(float(0)));
		case B_DOUBLE_TYPE: return Json(get(double(0)));
		case B_RECT_TYPE: {
			BRect r = get(BRect());
			return Json::array({FloatJson(r.left), FloatJson(r.top), FloatJson(r.right), FloatJson(r.bottom)});
		}
		case B_POINT_TYPE: {
			BPoint p = get(BPoint());
			return Json::array({FloatJson(p.x), FloatJson(p.y)});
		}
		case B_REF_TYPE: {
			entry_ref ref;
			std::string path;
			if (message.FindRef(name, index, &ref) == B_OK && platform_path_for_ref(ref, &path) == B_OK)
				return Json(path);
			return Json(ref.name ? ref.name : "");
		}
		case B_MESSAGE_TYPE: {
			BMessage nested;
			message.FindMessage(name, index, &nested);
			return Json{{"what", FourCC(nested.what)}, {"fields", MessageToJson(nested)}};
		}
		default: return Json(Hex(static_cast<const uint8*>(data), size_t(size)));
	}
}

}  // namespace

Json MessageToJson(const BMessage& message)
{
	Json out = Json::object();
	for (int32 i = 0;; i++) {
		const char* name;
		type_code type;
		int32 count;
		if (message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) != B_OK)
			break;
		bool plain = type == B_INT32_TYPE || type == B_BOOL_TYPE || type == B_STRING_TYPE;
		Json values = Json::array();
		for (int32 k = 0; k < count; k++)
			values.push_back(ItemToJson(message, name, type, k));
		Json value = count == 1 ? values[0] : values;
		if (plain) {
			out[name] = value;
		} else if (const char* tag = TagFor(type)) {
			out[name] = Json{{tag, value}};
		} else {
			bool fixed = true;
			message.GetInfo(name, &type, &fixed);
			Json raw{{"data", value}, {"type", FourCC(type)}};
			if (!fixed)
				raw["fixed"] = false;
			out[name] = raw;
		}
	}
	return out;
}

namespace {

[[noreturn]] void Bad(const std::string& where, const std::string& key, const std::string& what)
{
	throw UserError(where + ": state key \"" + key + "\": " + what);
}

template <typename T>
T Integer(const Json& v, const std::string& where, const std::string& key, const char* tag)
{
	if (!v.is_number_integer())
		Bad(where, key, std::string(tag) + " value must be an integer, not " + v.dump());
	if (v.is_number_unsigned()) {
		uint64 u = v.get<uint64>();
		if (u > uint64(std::numeric_limits<T>::max()))
			Bad(where, key, std::string(tag) + " value " + v.dump() + " is out of range");
		return T(u);
	}
	int64 s = v.get<int64>();
	if constexpr (std::is_unsigned_v<T>) {
		if (s < 0)
			Bad(where, key, std::string(tag) + " value " + v.dump() + " is out of range");
		if (uint64(s) > uint64(std::numeric_limits<T>::max()))
			Bad(where, key, std::string(tag) + " value " + v.dump() + " is out of range");
	} else {
		if (s < int64(std::numeric_limits<T>::min()) || s > int64(std::numeric_limits<T>::max()))
			Bad(where, key, std::string(tag) + " value " + v.dump() + " is out of range");
	}
	return T(s);
}

double Number(const Json& v, const std::string& where, const std::string& key, const char* tag)
{
	if (!v.is_number())
		Bad(where, key, std::string(tag) + " value must be a number, not " + v.dump());
	return v.get<double>();
}

void AddTagged(BMessage* message, const std::string& key, const std::string& tag, const Json& v,
	const std::string& where, const Json& whole)
{
	const char* name = key.c_str();
	status_t status = B_OK;
	if (tag == "int8")
		status = message->AddInt8(name, Integer<int8>(v, where, key, "int8"));
	else if (tag == "uint8")
		status = message->AddUInt8(name, Integer<uint8>(v, where, key, "uint8"));
	else if (tag == "int16")
		status = message->AddInt16(name, Integer<int16>(v, where, key, "int16"));
	else if (tag == "uint16")
		status = message->AddUInt16(name, Integer<uint16>(v, where, key, "uint16"));
	else if (tag == "int32")
		status = message->AddInt32(name, Integer<int32>(v, where, key, "int32"));
	else if (tag == "uint32")
		status = message->AddUInt32(name, Integer<uint32>(v, where, key, "uint32"));
	else if (tag == "int64")
		status = message->AddInt64(name, Integer<int64>(v, where, key, "int64"));
	else if (tag == "uint64")
		status = message->AddUInt64(name, Integer<uint64>(v, where, key, "uint64"));
	else if (tag == "float")
		status = message->AddFloat(name, float(Number(v, where, key, "float")));
	else if (tag == "double")
		status = message->AddDouble(name, Number(v, where, key, "double"));
	else if (tag == "bool") {
		if (!v.is_boolean())
			Bad(where, key, "bool value must be true or false");
		status = message->AddBool(name, v.get<bool>());
	} else if (tag == "string") {
		if (!v.is_string())
			Bad(where, key, "string value must be a string");
		status = message->AddString(name, v.get<std::string>().c_str());
	} else if (tag == "rect") {
		if (!v.is_array() || v.size() != 4)
			Bad(where, key, "rect must be [left, top, right, bottom]");
		status = message->AddRect(name, BRect(float(Number(v[0], where, key, "rect")),
			float(Number(v[1], where, key, "rect")), float(Number(v[2], where, key, "rect")),
			float(Number(v[3], where, key, "rect"))));
	} else if (tag == "point") {
		if (!v.is_array() || v.size() != 2)
			Bad(where, key, "point must be [x, y]");
		status = message->AddPoint(name, BPoint(float(Number(v[0], where, key, "point")),
			float(Number(v[1], where, key, "point"))));
	} else if (tag == "ref") {
		if (!v.is_string())
			Bad(where, key, "ref must be a path string");
		entry_ref ref;
		if (get_ref_for_path(v.get<std::string>().c_str(), &ref) != B_OK)
			Bad(where, key, "the directory of \"" + v.get<std::string>() + "\" does not exist");
		status = message->AddRef(name, &ref);
	} else if (tag == "message") {
		if (!v.is_object() || !v.contains("fields") || !v["fields"].is_object())
			Bad(where, key, "message must be {\"what\": \"CODE\", \"fields\": {...}}");
		BMessage nested;
		if (v.contains("what")) {
			bool ok;
			if (!v["what"].is_string())
				Bad(where, key, "message \"what\" must be a four-character string");
			nested.what = CodeFromString(v["what"].get<std::string>(), &ok);
			if (!ok)
				Bad(where, key, "message \"what\" must be a four-character string");
		}
		JsonToMessage(v["fields"], &nested, where + ": state key \"" + key + "\"");
		status = message->AddMessage(name, &nested);
	} else if (tag == "data") {
		if (!whole.contains("type") || !whole["type"].is_string())
			Bad(where, key, "raw data needs a four-character \"type\"");
		bool ok;
		type_code type = CodeFromString(whole["type"].get<std::string>(), &ok);
		if (!ok)
			Bad(where, key, "raw data needs a four-character \"type\"");
		std::vector<uint8> bytes;
		if (!v.is_string() || !FromHex(v.get<std::string>(), &bytes))
			Bad(where, key, "raw data must be a string of hex digits");
		bool fixed = !whole.contains("fixed") || whole["fixed"] == true;
		status = message->AddData(name, type, bytes.data(), ssize_t(bytes.size()), fixed);
	} else {
		Bad(where, key, "unknown type tag \"" + tag + "\"");
	}
	if (status == B_BAD_TYPE)
		Bad(where, key, "values of different types under one name");
	if (status != B_OK)
		Bad(where, key, "cannot store the value: " + std::string(strerror_status(status)));
}

void AddValue(BMessage* message, const std::string& key, const Json& v, const std::string& where)
{
	if (v.is_boolean()) {
		AddTagged(message, key, "bool", v, where, v);
	} else if (v.is_number_integer()) {
		AddTagged(message, key, "int32", v, where, v);
	} else if (v.is_number_float()) {
		Bad(where, key, "a bare number " + v.dump() + " is not an int32; write {\"float\": "
			+ v.dump() + "} or {\"double\": " + v.dump() + "}");
	} else if (v.is_string()) {
		AddTagged(message, key, "string", v, where, v);
	} else if (v.is_object()) {
		std::string tag;
		for (auto it = v.begin(); it != v.end(); ++it) {
			if (it.key() == "type" || it.key() == "fixed")
				continue;
			if (!tag.empty())
				Bad(where, key, "a tagged value holds one tag, not " + v.dump());
			tag = it.key();
		}
		if (tag.empty())
			Bad(where, key, "a tagged value needs a type tag such as {\"float\": 1.5}");
		const Json& inner = v[tag];
		bool several = inner.is_array() && (tag == "rect" || tag == "point")
			? (!inner.empty() && inner[0].is_array())
			: inner.is_array();
		if (several) {
			if (inner.empty())
				Bad(where, key, "an empty list holds no value");
			for (const Json& one : inner)
				AddTagged(message, key, tag, one, where, v);
		} else {
			AddTagged(message, key, tag, inner, where, v);
		}
	} else if (v.is_null()) {
		Bad(where, key, "null is not a value");
	} else {
		Bad(where, key, "unsupported value " + v.dump());
	}
}

}  // namespace

void JsonToMessage(const Json& json, BMessage* message, const std::string& where)
{
	if (!json.is_object())
		throw UserError(where + ": state must be an object of named values");
	for (auto it = json.begin(); it != json.end(); ++it) {
		const std::string& key = it.key();
		const Json& v = it.value();
		if (v.is_array()) {
			if (v.empty())
				Bad(where, key, "an empty list holds no value");
			for (const Json& one : v) {
				if (one.is_array())
					Bad(where, key, "lists cannot be nested; tag them, as {\"rect\": [[...], [...]]}");
				AddValue(message, key, one, where);
			}
		} else {
			AddValue(message, key, v, where);
		}
	}
}

}  // namespace vantrel
