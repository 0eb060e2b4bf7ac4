// Eventlog: describes every item it understands in one text line each
// (MIDI events, tempo, meta events, sysex, chords, control and switch
// items, track changes). The input passes through unchanged; the lines
// leave on the source port as 'LINE' items.

#include <Packet.h>
#include <StreamQueue.h>
#include <ZModule.h>

#include <Autolock.h>

#include <cstdarg>
#include <cstdio>
#include <atomic>
#include <cstring>

namespace {

const char* defaultlabel = "Streamer";
ZMessage strmsetupmsg("Vantrel Packet Monitor");

constexpr int kLineSize = 100;
constexpr int kQueueLimit = 128;
constexpr int kOutputItems = 32;

const char* const kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

const char* const kChordNames[22] = {"Other...", "Single", "Fifth(Fourth)", "Third", "Minor 3rd",
	"Dim 5th", "Min Seventh", "Maj Seventh", "Major Triad", "Minor Triad", "Augmented", "Dim Triad",
	"Diminished 7th", "Seventh Chord", "Major 7th Chord", "Minor 7th Chord", "Half-Dim 7th Chord",
	"Min-Maj 7th Chord", "Unrecognized", "Unrecognized", "Unrecognized", "Unrecognized"};

const char* const kRealTimeNames[8] = {"Clock", "<Undefined>", "Start", "Continue", "Stop",
	"<Undefined>", "Active Sensing", "System Reset"};

const char* const kCommonNames[8] = {"Start Sys. Excl.", "<Undefined>", "Song Position",
	"Song Select", "<Undefined>", "<Undefined>", "Tune Request", "End Sys. Excl."};

const char* const kMetaNames[8] = {"Unspec. Text", "TEXT", "COPYRIGHT", "TRACK_NAME", "INSTR_NAME",
	"LYRIC", "MARKER", "CUE_POINT"};

// Shown for controller numbers that have no name.
const char kNoControllerName[] = "(unnamed)";

const char* ControllerName(int number)
{
	switch (number) {
		case 0: return "Bank Select (MSB)";
		case 1: return "Modulation (MSB)";
		case 2: return "Breath Control (MSB)";
		case 4: return "Foot Pedal (MSB)";
		case 5: return "Portamento Time (MSB)";
		case 6: return "Data Entry (MSB)";
		case 7: return "Main Volume (MSB)";
		case 8: return "Balance (MSB)";
		case 10: return "Pan (MSB)";
		case 11: return "Expression (MSB)";
		case 12: return "Effects-Type #1 (MSB)";
		case 13: return "Effects-Type #2 (MSB)";
		case 16: return "Gen. Purpose 1 (MSB)";
		case 17: return "Gen. Purpose 2 (MSB)";
		case 18: return "Gen. Purpose 3 (MSB)";
		case 19: return "Gen. Purpose 4 (MSB)";
		case 32: return "Bank Select (LSB)";
		case 64: return "Sustain Pedal";
		case 65: return "Portamento Pedal";
		case 66: return "Sustenuto Pedal";
		case 67: return "Soft Pedal";
		case 91: return "Reverb Depth";
		case 93: return "Chorus Depth";
		case 98: return "NRPN LSB";
		case 99: return "NRPN MSB";
		case 100: return "RPN LSB";
		case 101: return "RPN MSB";
		case 120: return "All Sounds Off";
		case 121: return "Reset All Controllers";
		case 123: return "All Notes Off";
		case 126: return "Mono Mode On";
		case 127: return "Poly Mode On";
		default: return kNoControllerName;
	}
}

const char* const kProgramNames[128] = {"Acoustic Piano", "Bright Piano", "Electric Grand",
	"Honky Tonk", "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavinet", "Celesta",
	"Glockenspiel", "Music Box", "Vibraphone", "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
	"Drawbar Organ", "Percussive organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion",
	"Harmonica", "Bandoneon", "Acoustic Guitar", "Steel Guitar", "Jazz Guitar", "Clean Elec. Guitar",
	"Muted Elec. Guitar", "Overdrive Guitar", "Distortion Guitar", "Guitar Harmonics",
	"Acoustic Bass", "Fingered Elec. Bass", "Picked Elec. Bass", "Fretless Bass", "Slap Bass 1",
	"Slap Bass 2", "Synth Bass 1", "Synth Bass 2", "Violin", "Viola", "Cello", "Contrabass",
	"Tremolo Strings", "Pizzicato", "Harp", "Tympani", "Marcato Strings", "Slow Strings",
	"Synth Strings 1", "Synth Strings 2", "Choir Aahs", "Voice Oohs", "Synth Voice",
	"Orchestra Hit", "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn",
	"Brass Section", "Synth Brass 1", "Synth Brass 2", "Soprano Sax", "Alto Sax", "Tenor Sax",
	"Baritone Sax", "Oboe", "English Horn", "Bassoon", "Clarinet", "Piccolo", "Flute", "Recorder",
	"Pan Flute", "Bottle Blow", "Shakuhachi", "Whistle", "Ocarina", "Squarewave Lead",
	"Sawtooth Lead", "Calliope Lead", "Chiffer Lead", "Charang lead", "Voice Lead", "Fifths Lead",
	"Bass & Lead", "New Age Pad", "Warm Pad", "Polysynth Pad", "Choir Pad", "Bowed Pad",
	"Metal Pad", "Halo Pad", "Sweep Pad", "FX Rain", "FX Soundtrack", "FX Crystal",
	"FX Atmosphere", "FX Brightness", "FX Goblins", "FX Echoes", "FX Sci-Fi", "Sitar", "Banjo",
	"Shamisen", "Koto", "Kalimba", "Bagpipes", "Fiddle", "Shannai", "Tinkle Bell", "Agogo",
	"Steel Drums", "Woodblock", "Taiko Drum", "Melodic Drum", "Synth Drum", "Reverse Cymbal",
	"Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet", "Telephone", "Helicopter",
	"Applause", "Gunshot"};

struct streamer_Params {
	std::atomic<bool> closed{false};
	const char* label = defaultlabel;
	StreamQueue queue{"permit input", kQueueLimit, kLineSize};
	int32 shownTrack = -1;

	// Formats one line into a pool buffer and queues it.
	void queueLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void queueBuffer(char* line) { queue.Put(QueuedPayload{Z_LINE, kLineSize, line}); }
	char* getLine() { return static_cast<char*>(queue.GetBuffer()); }
	void showTrack(int32 track);
	void showEvent(int32 time, const MIDISeq& event);
};

void streamer_Params::queueLine(const char* format, ...)
{
	char* line = getLine();
	va_list args;
	va_start(args, format);
	vsnprintf(line, kLineSize, format, args);
	va_end(args);
	queueBuffer(line);
}

void streamer_Params::showTrack(int32 track)
{
	if (track == shownTrack)
		return;
	if (track < 0)
		queueLine("<No track>\n");
	else
		queueLine("<Track %ld>\n", long(track));
	shownTrack = track;
}

void streamer_Params::showEvent(int32 t, const MIDISeq& e)
{
	char* line = getLine();
	int ch = (e.status & 0x0F) + 1;
	const char* note = kNoteNames[e.data1 % 12];
	switch (event_class(e.status)) {
		case kClassNoteOff:
			snprintf(line, kLineSize, "%10d: %2d  [Note Off]     note %d(%s)\n", t, ch, e.data1, note);
			break;
		case kClassNoteOn:
			if (e.data2 != 0)
				snprintf(line, kLineSize, "%10d: %2d  [Note On]       note %d(%s) vel. %d\n", t, ch,
					e.data1, note, e.data2);
			else
				snprintf(line, kLineSize, "%10d: %2d  [Note On='Off'] note %d(%s)\n", t, ch, e.data1,
					note);
			break;
		case kClassPolyPressure:
			snprintf(line, kLineSize, "%10d: %2d  [Poly Aftertouch] note %d(%s) press. %d  \n", t, ch,
				e.data1, note, e.data2);
			break;
		case kClassControl:
			snprintf(line, kLineSize, "%10d: %2d  [Controller]  num. %d %s value %d \n", t, ch,
				e.data1, ControllerName(e.data1), e.data2);
			break;
		case kClassProgram:
			snprintf(line, kLineSize, "%10d: %2d  [Program Change] num. %d %s\n", t, ch, e.data1,
				kProgramNames[e.data1 & 0x7F]);
			break;
		case kClassChannelPressure:
			snprintf(line, kLineSize, "%10d: %2d  [Channel Aftertouch] press. %d\n", t, ch, e.data1);
			break;
		case kClassPitchBend:
			snprintf(line, kLineSize, "%10d: %2d  [Pitch Bend]    value:%d (%d %d)\n", t, ch,
				e.data2 * 128 + e.data1 - 8192, e.data1, e.data2);
			break;
		default:
			if (e.status & 8)
				snprintf(line, kLineSize, "%10d:   [System Real Time] %s\n", t,
					kRealTimeNames[e.status & 7]);
			else
				snprintf(line, kLineSize, "%10d:   [System Common]  %s bytes: %d %d\n", t,
					kCommonNames[e.status & 7], e.data1, e.data2);
			break;
	}
	if (e.marks != 0) {
		// The marks replace the final newline.
		size_t length = strlen(line);
		if (length > 0 && line[length - 1] == '\n')
			length--;
		snprintf(line + length, size_t(kLineSize) - length, " [marks %#x]\n", e.marks);
	}
	queueBuffer(line);
}

}  // namespace

ZPORT ProcessOutput(void* elem, ZItem*& items, int& count);
ZPORT ProcessInput(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&strmsetupmsg, Z_DSRC, "Output", ProcessOutput);
	add_port(&strmsetupmsg, Z_FLT1, "Input", ProcessInput);
	add_help(&strmsetupmsg, "Tonvantrel/Eventlog");
	return &strmsetupmsg;
}

ZEXPORT void* OpenElem()
{
	return new streamer_Params;
}

ZEXPORT void CloseElem(void* elem)
{
	if (!elem)
		return;
	streamer_Params* params = static_cast<streamer_Params*>(elem);
	params->closed = true;
	params->queue.Close();
}

ZEXPORT void TerminateElem(void* elem)
{
	delete static_cast<streamer_Params*>(elem);
}

ZEXPORT void ShutDown() {}

ZPORT ProcessInput(void* elem, ZItem*& items, int& count)
{
	streamer_Params* params = static_cast<streamer_Params*>(elem);
	if (params->closed || !params->queue.EnterInput())
		return -1;
	int32 t = 0;
	int32 callTrack = -1;
	bool wroteLine = false;
	{
		BAutolock guard(params->queue.Lock());
		for (int i = 0; i < count; i++) {
			const ZItem& item = items[i];
			const uint8* payload = static_cast<const uint8*>(item.data);
			switch (item.type) {
				case Z_MTIM:
					t = zvalue(item);
					break;
				case Z_MTRK:
					callTrack = zvalue(item);
					break;
				case Z_MIDI:
					for (const MIDISeq& event : PacketEvents(item.data)) {
						if (!wroteLine)
							params->showTrack(callTrack);
						params->showEvent(t, event);
						wroteLine = true;
					}
					break;
				case Z_MSYX:
					params->showTrack(callTrack);
					if (item.size > 0 && payload)
						params->queueLine("%10d: SysEx size %d bytes [first=0x%x(%d) last=0x%x(%d)]\n",
							t, item.size, payload[0], payload[0], payload[item.size - 1],
							payload[item.size - 1]);
					else
						params->queueLine("%10d: SysEx size 0 bytes\n", t);
					break;
				case Z_CHRD: {
					uint32 value = uint32(zvalue(item));
					if ((value & 0xFFFF) != 0 && wroteLine) {
						uint8 type = uint8(value >> 16), root = uint8(value >> 24);
						params->queueLine("%s: root %s\n", kChordNames[type < 22 ? type : 21],
							kNoteNames[root % 12]);
					}
					break;
				}
				case Z_MTPO: {
					float s = float(zvalue(item)) / 1000000.0f;
					float b = 60.0f / s;
					params->queueLine("%10d: Tempo Change to %.2f BPM = %g secs/beat\n", t, double(b),
						double(s));
					break;
				}
				case Z_MMTD: {
					params->showTrack(callTrack);
					int32 n = item.size;
					if (n <= 0 || !payload) {
						params->queueLine("%10d: Meta -- empty\n", t);
						break;
					}
					uint8 y = payload[0];
					const char* text = reinterpret_cast<const char*>(payload + 1);
					if (y > 15) {
						params->queueLine("%10d: Meta -- type=0x%x size=%d\n", t, y, n);
					} else {
						const char* name = kMetaNames[y <= 7 ? y : 0];
						if (n > 20)
							params->queueLine("%10d: %s -- [LONG: %d chars] %.20s...\n", t, name, n - 1,
								text);
						else
							params->queueLine("%10d: %s -- %.*s\n", t, name, n - 1, text);
					}
					break;
				}
				case Z_CTRL: {
					uint32 value = uint32(zvalue(item));
					params->queueLine("DIRECTOR: Control %d  index %d   value=%d(0x%x)\n",
						int(value & 0xFF), int((value >> 8) & 0xFF), int(int16(value >> 16)),
						unsigned(uint16(value >> 16)));
					break;
				}
				case Z_SWCH:
					params->queueLine("DIRECTOR: Switch bits=%.8x (hex)\n", unsigned(zvalue(item)));
					break;
				default:
					break;
			}
		}
	}
	params->queue.LeaveInput();
	return 0;
}

ZPORT ProcessOutput(void* elem, ZItem*& items, int& count)
{
	streamer_Params* params = static_cast<streamer_Params*>(elem);
	StreamQueue& queue = params->queue;
	while (!params->closed && queue.WaitOutput()) {
		if (count == 0) {
			items = new ZItem[kOutputItems];
			count = kOutputItems;
		}
		BAutolock guard(queue.Lock());
		if (queue.CountQueued() == 0)
			continue;
		for (int i = 0; i < count; i++)
			queue.ReleaseItem(items[i]);
		QueuedPayload line;
		for (int i = 0; i < count && queue.Take(&line); i++) {
			items[i].type = Z_LINE;
			items[i].data = line.data;
			items[i].size = line.size;
		}
		return 0;
	}
	for (int i = 0; i < count; i++)
		clear_item_plain(items[i]);
	return -1;
}
