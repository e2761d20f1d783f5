// Writes the program's own reminder sounds as WAV files (16-bit mono PCM, 44.1 kHz) into the
// folder given on the command line: "chime.wav", two soft notes a fifth apart, and "bell.wav",
// one struck bell. Made at build time, so no binary sound file lives in the sources.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

struct Partial {
    double frequency; // Hz
    double amplitude; // relative
    double decay;     // per second
};

// Adds a struck note at `start` seconds: partials with exponential decay and a 4 ms attack so
// that it starts without a click.
void AddNote(std::vector<double>& samples, double start, const std::vector<Partial>& partials) {
    const auto first = static_cast<std::size_t>(start * kRate);
    for (std::size_t i = first; i < samples.size(); ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        double value = 0;
        for (const Partial& partial : partials) {
            value += partial.amplitude * std::exp(-partial.decay * t) *
                     std::sin(2 * std::numbers::pi * partial.frequency * t);
        }
        samples[i] += attack * value;
    }
}

bool WriteWav(const std::string& path, std::vector<double> samples) {
    // A short fade at the end, then scale to 70 % of full range.
    const std::size_t fade = kRate / 50;
    for (std::size_t i = 0; i < fade && i < samples.size(); ++i) {
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
    }
    double peak = 1e-9;
    for (const double value : samples) {
        peak = std::max(peak, std::abs(value));
    }
    std::vector<int16_t> pcm;
    pcm.reserve(samples.size());
    for (const double value : samples) {
        pcm.push_back(static_cast<int16_t>(std::lround(value / peak * 0.7 * 32767)));
    }
    std::ofstream out(path, std::ios::binary);
    const auto put32 = [&out](uint32_t v) {
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        out.write(bytes, 4);
    };
    const auto put16 = [&out](uint16_t v) {
        const char bytes[2] = {char(v), char(v >> 8)};
        out.write(bytes, 2);
    };
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    out.write("RIFF", 4);
    put32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    out.write("data", 4);
    put32(dataBytes);
    for (const int16_t value : pcm) {
        put16(static_cast<uint16_t>(value));
    }
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    std::vector<double> chime(static_cast<std::size_t>(0.9 * kRate));
    AddNote(chime, 0.0, {{784.0, 1.0, 6.0}, {1568.0, 0.25, 9.0}});   // G5
    AddNote(chime, 0.18, {{1174.7, 0.9, 5.0}, {2349.3, 0.2, 8.0}}); // D6

    std::vector<double> bell(static_cast<std::size_t>(0.8 * kRate));
    AddNote(bell, 0.0,
            {{659.3, 1.0, 4.5}, {1318.5, 0.45, 6.0}, {1780.0, 0.25, 8.0}, {2637.0, 0.12, 11.0}});

    if (!WriteWav(folder + "/chime.wav", chime) || !WriteWav(folder + "/bell.wav", bell)) {
        std::fprintf(stderr, "cannot write the sounds into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
