// SMF reading: chunk walk, variable-length numbers of at most four bytes, running status,
// tempo map (a tempo of 0 counts as 1 microsecond per quarter note), SMPTE time division.
// Tracks are merged by tick with a stable sort, so events at one tick keep track order.
#include "platform/audio/MidiFile.h"

#include <algorithm>

namespace vireo::platform::audio {

namespace {

constexpr double kMaxSeconds = 3600.0;
constexpr std::size_t kMaxEvents = 4'000'000;

struct TickEvent {
    std::uint64_t tick;
    std::uint32_t tempo; // 0 for channel events; else microseconds per quarter note
    std::uint8_t status, data1, data2;
};

std::uint32_t Big32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

class CTrackReader {
  public:
    CTrackReader(const std::uint8_t* begin, const std::uint8_t* end) : m_at(begin), m_end(end) {}
    bool AtEnd() const { return m_at >= m_end; }
    bool Number(std::uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_at >= m_end)
                return false;
            const std::uint8_t byte = *m_at++;
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool Byte(std::uint8_t& value)
    {
        if (m_at >= m_end)
            return false;
        value = *m_at++;
        return true;
    }
    const std::uint8_t* Skip(std::uint32_t count)
    {
        if (count > static_cast<std::size_t>(m_end - m_at))
            return nullptr;
        const std::uint8_t* at = m_at;
        m_at += count;
        return at;
    }

  private:
    const std::uint8_t* m_at;
    const std::uint8_t* m_end;
};

int DataBytes(std::uint8_t status)
{
    const int kind = status >> 4;
    return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

bool ReadTrack(CTrackReader track, std::vector<TickEvent>& out, std::uint64_t& lastTick)
{
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!track.AtEnd()) {
        std::uint32_t delta;
        std::uint8_t status;
        if (!track.Number(delta) || !track.Byte(status))
            return false;
        tick += delta;
        if (status == 0xFF) {
            std::uint8_t type;
            std::uint32_t length;
            if (!track.Byte(type) || !track.Number(length))
                return false;
            const std::uint8_t* body = track.Skip(length);
            if (!body)
                return false;
            if (type == 0x51 && length == 3)
                out.push_back({tick,
                               std::max<std::uint32_t>(1, (std::uint32_t{body[0]} << 16) | (body[1] << 8) | body[2]), 0,
                               0, 0});
            lastTick = std::max(lastTick, tick);
            if (type == 0x2F)
                return true;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length;
            if (!track.Number(length) || !track.Skip(length))
                return false;
            running = 0;
            continue;
        }
        std::uint8_t first;
        if (status < 0x80) { // running status: this byte is the first data byte
            if (!running)
                return false;
            first = status;
            status = running;
        } else if (status >= 0xF0) {
            return false; // system common/real-time messages do not belong in a file
        } else {
            running = status;
            if (!track.Byte(first))
                return false;
        }
        std::uint8_t second = 0;
        if (DataBytes(status) == 2 && !track.Byte(second))
            return false;
        if ((first | second) & 0x80)
            return false;
        if (out.size() >= kMaxEvents)
            return false;
        out.push_back({tick, 0, status, first, second});
        lastTick = std::max(lastTick, tick);
    }
    return true; // a track may end without its End of Track event
}

} // namespace

bool ReadMidiFile(const std::uint8_t* data, std::size_t size, int outputRate, MidiSong& song)
{
    song = MidiSong{};
    if (!data || size < 14 || outputRate <= 0 || Big32(data) != 0x4D546864) // "MThd"
        return false;
    const std::uint32_t headerLength = Big32(data + 4);
    if (headerLength < 6 || headerLength > size - 8)
        return false;
    const unsigned format = (data[8] << 8) | data[9];
    const unsigned tracks = (data[10] << 8) | data[11];
    const unsigned division = (data[12] << 8) | data[13];
    if (format > 2 || tracks == 0 || division == 0)
        return false;
    // Seconds per tick: SMPTE frames x ticks per frame, or a tempo-scaled fraction of a quarter.
    const bool smpte = (division & 0x8000) != 0;
    double smpteTick = 0.0;
    if (smpte) {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
            return false;
        smpteTick = 1.0 / (framesPerSecond * ticksPerFrame);
    }

    std::vector<TickEvent> events;
    std::uint64_t lastTick = 0;
    std::size_t at = 8 + headerLength;
    unsigned found = 0;
    while (found < tracks && size - at >= 8) {
        const std::uint32_t id = Big32(data + at);
        const std::uint64_t length = std::min<std::uint64_t>(Big32(data + at + 4), size - at - 8);
        const std::uint8_t* body = data + at + 8;
        if (id == 0x4D54726B) { // "MTrk"
            if (!ReadTrack(CTrackReader(body, body + length), events, lastTick))
                return false;
            ++found;
        }
        at += 8 + length;
    }
    if (found == 0)
        return false;

    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    double seconds = 0.0;
    std::uint64_t tick = 0;
    double secondsPerTick = smpte ? smpteTick : 0.5 / division; // 120 beats per minute until told
    auto frameAt = [&](std::uint64_t when) {
        seconds += static_cast<double>(when - tick) * secondsPerTick;
        tick = when;
        return seconds;
    };
    for (const TickEvent& event : events) {
        const double time = frameAt(event.tick);
        if (time > kMaxSeconds)
            break;
        if (event.tempo) {
            if (!smpte)
                secondsPerTick = event.tempo / 1e6 / division;
            continue;
        }
        song.events.push_back({static_cast<std::uint32_t>(time * outputRate), event.status, event.data1, event.data2});
    }
    const double end = std::min(frameAt(std::max(lastTick, tick)), kMaxSeconds);
    song.lengthFrames = static_cast<std::uint32_t>(end * outputRate);
    return true;
}

} // namespace vireo::platform::audio
