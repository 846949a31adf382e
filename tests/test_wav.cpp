// The WAV reader on files written for each case: well-formed files in their
// variants, and files that are damaged, truncated or lie about their sizes.
#include "sound/wav.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/wav_files.h"

namespace {

const std::string fmtChunk = riffChunk("fmt ", wavFormatBody(1, 1, 22050, 16));
const std::string pcmBytes(400, '\x10');
const std::string dataChunk = riffChunk("data", pcmBytes);

// The samples of the file, read back (its format kept in lastFormat);
// "refused" when the reader refuses it, after checking it left the file empty.
WavFormat lastFormat;
std::string samplesRead(const std::string& name, const std::string& bytes)
{
    WavFile wav{};
    wav.fileBytes = reinterpret_cast<uint8_t*>(&wav);  // must be cleared
    if (!wavRead(writeWav(name, bytes).c_str(), &wav)) {
        EXPECT_EQ(wav.fileBytes, nullptr) << name;
        return "refused";
    }
    lastFormat = wav.format;
    std::string samples(reinterpret_cast<const char*>(wav.samples), wav.sampleBytes);
    wavRelease(&wav);
    EXPECT_EQ(wav.fileBytes, nullptr);
    return samples;
}

}  // namespace

TEST(WavRead, WhatEachFileReadsAsAndThePlainFilesFormat)
{
    const std::string list = riffChunk("LIST", "INFOISFT" + std::string("\x06\0\0\0gen\0\0\0", 10));
    const std::string odd = riffChunk("junk", "abc");  // odd size: one pad byte follows
    const std::string fmt18 = riffChunk("fmt ", wavFormatBody(1, 1, 8000, 8) + std::string("\0\0", 2));
    const std::string shortFmt = riffChunk("fmt ", wavFormatBody(1, 1, 8000, 8).substr(0, 12));
    const std::string five = pcmBytes.substr(0, 5);
    auto form = [](int64_t size, const std::string& chunks) { return riffChunk("RIFF", "WAVE" + chunks, size); };
    const std::string longData = riffChunk("data", pcmBytes, 0xFFFFFFFFu);
    const struct {
        const char* name;
        std::string bytes;
        std::string samples;
    } cases[] = {
        {"between.wav", waveForm(fmtChunk + odd + list + dataChunk), pcmBytes},
        {"fmt18.wav", waveForm(list + fmt18 + dataChunk), pcmBytes},
        {"oddpad.wav", waveForm(fmtChunk + riffChunk("data", five)), five},
        // Writers often leave the pad byte off an odd-sized last chunk.
        {"oddlast.wav", form(4 + 24 + 8 + 5, fmtChunk + riffChunk("data", five, 5)), five},
        {"text.wav", "This is not a sound file, just a few words of text.\n", "refused"},
        {"avi.wav", riffChunk("RIFF", "AVI " + fmtChunk + dataChunk), "refused"},
        {"float.wav", waveForm(riffChunk("fmt ", wavFormatBody(3, 1, 44100, 32)) + dataChunk), "refused"},
        {"nodata.wav", waveForm(fmtChunk + riffChunk("LIST", "INFO")), "refused"},
        {"nofmt.wav", waveForm(riffChunk("LIST", "INFO") + dataChunk), "refused"},
        {"datafirst.wav", waveForm(dataChunk + fmtChunk), "refused"},
        {"shortfmt.wav", waveForm(shortFmt + dataChunk), "refused"},
        {"list-past-the-end-before-fmt.wav", waveForm(riffChunk("LIST", "INFO", 5000) + fmtChunk + dataChunk),
         "refused"},
        // Sizes claiming more than the file holds keep what is there...
        {"huge-riff.wav", form(0xFFFFFFFFu, fmtChunk + dataChunk), pcmBytes},
        {"long-data.wav", form(4 + fmtChunk.size() + longData.size(), fmtChunk + longData), pcmBytes},
        // ...but samples outside the form are not its samples.
        {"short-riff.wav", form(4 + fmtChunk.size(), fmtChunk + dataChunk), "refused"},
        {"data-in-form.wav", form(4 + fmtChunk.size() + 8 + 10, fmtChunk + dataChunk), pcmBytes.substr(0, 10)},
        // Cut short: the samples that are there, once the data chunk's header is.
        {"cut.wav", waveForm(fmtChunk + dataChunk).substr(0, 44 + 300), pcmBytes.substr(0, 300)},
        {"cut-to-header.wav", waveForm(fmtChunk + dataChunk).substr(0, 44), ""},
        {"cut-in-header.wav", waveForm(fmtChunk + dataChunk).substr(0, 43), "refused"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(samplesRead(c.name, c.bytes), c.samples) << c.name;
    // The 16-byte format chunk is read as 18 bytes: the next chunk's first
    // two id bytes, "da", land in the extra-size field.
    EXPECT_EQ(samplesRead("plain.wav", pcmWave(2, 22050, 16, pcmBytes)), pcmBytes);
    const WavFormat& f = lastFormat;
    EXPECT_EQ(std::vector<uint32_t>({f.formatTag, f.channels, f.samplesPerSecond, f.averageBytesPerSecond, f.blockAlign,
                                     f.bitsPerSample, f.extraSize}),
              std::vector<uint32_t>({1, 2, 22050, 22050 * 4, 4, 16, 'd' | ('a' << 8)}));
}
